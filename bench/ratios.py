#!/usr/bin/env python3
"""Runs the benchmark program and prints each text routine's speed as a
ratio to memmem on the same 1 MiB data, then the other throughputs.

Usage: bench/ratios.py BENCH_PROGRAM [google-benchmark options...]
"""
import json
import subprocess
import sys


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    out = subprocess.run([sys.argv[1], "--benchmark_format=json", *sys.argv[2:]],
                         check=True, capture_output=True, text=True).stdout
    runs = [b for b in json.loads(out)["benchmarks"] if b.get("run_type", "iteration") == "iteration"]
    speed = {b["name"]: b["bytes_per_second"] for b in runs if "bytes_per_second" in b}

    print(f"{'routine':34} {'data':8} {'GB/s':>8} {'x memmem':>9}")
    for name, bps in speed.items():
        base, _, data = name.rpartition("_")
        memmem = speed.get(f"BM_Memmem_{data}")
        if not memmem or base == "BM_Memmem":
            continue
        print(f"{base[3:]:34} {data:8} {bps / 1e9:8.2f} {bps / memmem:9.2f}")
    print()
    print(f"{'other routine':43} {'MB/s':>8}")
    for name, bps in speed.items():
        if f"BM_Memmem_{name.rpartition('_')[2]}" not in speed:
            print(f"{name[3:]:43} {bps / 1e6:8.0f}")


if __name__ == "__main__":
    main()
