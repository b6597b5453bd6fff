#!/usr/bin/env python3
"""Checks the export table of the built plug-in: exactly the eight exports,
with their names as GBK bytes and, in the Windows library, their ordinals and
the argument bytes each removes on return (__stdcall).

Usage: check_exports.py pe OBJDUMP FILE | check_exports.py elf NM FILE
"""
import re
import subprocess
import sys

# name, ordinal, argument bytes
EXPORTS = [
    ("info", 1, 0),
    ("获取昵称", 2, 4),
    ("取文本特定参数", 3, 8),
    ("取文本之间", 4, 12),
    ("取整形特定参数", 5, 8),
    ("去空格换行", 6, 4),
    ("时间格式化", 7, 0),
    ("Velquor", 8, 20),
]
EXPECTED = {name.encode("gbk"): (ordinal, arg_bytes) for name, ordinal, arg_bytes in EXPORTS}


def run(*command):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE).stdout


def check_pe(objdump, path):
    dump = run(objdump, "-p", path)
    base = int(re.search(rb"Ordinal Base\s+(\d+)", dump).group(1))
    table = dump.split(b"[Ordinal/Name Pointer] Table", 1)[1].split(b"\n\n", 1)[0]
    found = {}
    for index, name in re.findall(rb"\[\s*(\d+)\]\s+(\S+)", table):
        found[name] = int(index) + base
    addresses = re.search(rb"Export Address Table\s+([0-9a-fA-F]+)", dump).group(1)
    errors = []
    if found != {name: ordinal for name, (ordinal, _) in EXPECTED.items()}:
        errors.append("names and ordinals: %r" % found)
    if int(addresses, 16) != len(EXPECTED):
        errors.append("%d entries in the export address table" % int(addresses, 16))
    # Every return of an export's routine removes its arguments.
    code = run(objdump, "-d", "--no-show-raw-insn", path).decode("latin-1")
    for label, body in re.findall(r"<(_\w+@\d+)>:\n(.*?)(?:\n\n|\Z)", code, re.S):
        arg_bytes = int(label.rsplit("@", 1)[1])
        for ret in re.findall(r"\bret\b[^\n]*", body):
            removed = int(ret.split("$")[1], 16) if "$" in ret else 0
            if removed != arg_bytes:
                errors.append("%s: %s" % (label, ret.strip()))
    routines = re.findall(r"<(_Orvanta\w+@\d+)>:", code)
    if len(routines) != len(EXPORTS):
        errors.append("export routines found: %r" % routines)
    return errors


def check_elf(nm, path):
    found = set()
    for line in run(nm, "-D", "--defined-only", path).splitlines():
        fields = line.split()
        if len(fields) == 3:
            found.add(fields[2])
    return [] if found == set(EXPECTED) else ["dynamic symbols: %r" % sorted(found)]


def main():
    kind, tool, path = sys.argv[1:4]
    errors = (check_pe if kind == "pe" else check_elf)(tool, path)
    for error in errors:
        print("export table:", error)
    print("export table: %s" % ("wrong" if errors else "as expected"))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
