#!/usr/bin/env python3
"""orvanta-host end to end: the built host loads the built plug-in (under wine
for the Windows build) from a run directory of its own, shows the descriptor,
passes messages and calls exports; the settings file it leaves is checked
byte for byte.

Usage: host_e2e.py WORKDIR HOST PLUGIN [EMULATOR]
"""
import os
import shutil
import subprocess
import sys
import unittest

WORKDIR, HOST, PLUGIN = sys.argv[1:4]
EMULATOR = sys.argv[4:5]
RUN_DIR = os.path.join(WORKDIR, "host_e2e.tmp")
CONFIG = os.path.join(RUN_DIR, "config")
SETTINGS = os.path.join(CONFIG, "Orvanta.vt")
HOST_COPY = os.path.join(RUN_DIR, os.path.basename(HOST))


def gbk(text):
    return text.encode("gbk")


def descriptor(prefix):
    return gbk("Orvanta\r\nV1.2.0\r\nSelwick\r\n"
               "Orvanta可以：可查天气，自动替换机器人名，智能回答问题。\r\n"
               + prefix + "\r\n读取所有\r\n\r\nVelquor\r\n1\r\n假\r\n")


OFF = "[cqname]已聊天停用，发送启用，启用聊天"
ON = "[cqname]已聊天启用，发送停用，停用聊天"
VERSION = "Orvanta作者：Selwick[enter]简介：回归本源，回归智能~[enter]版本：V1.2.0（限量版）"


def host(*args, stdin=b""):
    done = subprocess.run(EMULATOR + [HOST_COPY] + list(args), input=stdin,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    return done.returncode, done.stdout, done.stderr


class HostTest(unittest.TestCase):
    maxDiff = None

    @classmethod
    def setUpClass(cls):
        shutil.rmtree(RUN_DIR, ignore_errors=True)
        os.makedirs(RUN_DIR)
        shutil.copy2(HOST, HOST_COPY)  # the run directory is the host's folder
        shutil.copy2(PLUGIN, os.path.join(RUN_DIR, "Orvanta.cqp"))

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(RUN_DIR, ignore_errors=True)

    def setUp(self):
        shutil.rmtree(CONFIG, ignore_errors=True)

    def settings(self, content):
        os.makedirs(CONFIG, exist_ok=True)
        with open(SETTINGS, "wb") as f:
            f.write(gbk(content))

    def test_descriptor_as_returned(self):
        for name, content, prefix in [
                ("no config folder", None, ""),
                ("prefix", "[前置]\r\n格式=小O\r\n", "小O"),
                ("quoted prefix", "[前置]\r\n格式=\" 小O \"\r\n", " 小O ")]:
            with self.subTest(name):
                if content is not None:
                    self.settings(content)
                self.assertEqual(host("--raw"), (0, descriptor(prefix), b""))

    def test_chat_switch_and_settings_file(self):
        self.settings("[前置]\r\n格式=小O\r\n")
        messages = gbk("停用\n版本\n说话\n版本\n")
        status, out, _ = host("--raw", "-q", "-t", "2", "-s", "12345", stdin=messages)
        self.assertEqual(status, 0)
        self.assertEqual(out, gbk("\n".join([OFF, "", ON, VERSION, ""])))
        with open(SETTINGS, "rb") as f:
            self.assertEqual(f.read(), gbk("[前置]\r\n格式=小O\r\n[12345]\r\n聊天=是\r\n"))
        # Other types never read the switch.
        host("--raw", "-q", "-t", "2", "-s", "12345", stdin=gbk("闭嘴\n"))
        status, out, _ = host("--raw", "-q", "-t", "1", "-s", "12345", "-m", "版本")
        self.assertEqual(out, gbk(VERSION + "\n"))

    def test_terminal_text_is_utf8_with_placeholders_shown(self):
        status, out, _ = host("-m", "版本", "-t", "2", "-m", "停用", "-n", "小明", "-s", "")
        self.assertEqual(status, 0)
        text = out.decode("utf-8")
        self.assertIn("   5  \n", text)  # the descriptor's empty prefix line
        self.assertTrue(text.endswith(
            "Orvanta作者：Selwick\n简介：回归本源，回归智能~\n版本：V1.2.0（限量版）\n"
            "小明已聊天停用，发送启用，启用聊天\n"), text)
        status, out, _ = host("-q", "-t", "2", "-s", "", stdin="版本\n\n".encode("utf-8"))
        self.assertTrue(out.decode("utf-8").startswith("Orvanta作者：Selwick\n"))

    def test_calls_exports_by_name(self):
        for args, expected in [
                (["去空格换行", "a b\\r甲　乙"], "ab甲　乙\n"),
                (["时间格式化"], None),
                (["info"], None)]:
            with self.subTest(args[0]):
                status, out, err = host("-q", "--call", *args)
                self.assertEqual(status, 0, err)
                if expected is not None:
                    self.assertEqual(out.decode("utf-8"), expected)
        status, out, _ = host("-q", "--raw", "--call", "info")
        self.assertEqual(out, descriptor(""))

    def test_usage_errors(self):
        for args, status in [(["--call", "去空格换行"], 1),
                             (["--call", "nothing"], 1),
                             (["--bogus"], 1),
                             (["-m"], 1),
                             ([os.path.join(RUN_DIR, "missing.cqp")], 2)]:
            with self.subTest(" ".join(args)):
                self.assertEqual(host(*args)[0], status)
        status, out, _ = host("--help")
        self.assertEqual(status, 0)
        self.assertIn(b"Usage: orvanta-host", out)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
