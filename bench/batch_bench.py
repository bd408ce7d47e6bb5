#!/usr/bin/env python3
"""kuv-render --batch against separate runs: 1,000 generated listings of 100
mixed statements, rendered with -j 1, with -j equal to the number of cores,
and as 1,000 kuv-render processes one after another.
    python3 bench/batch_bench.py build/app/kuv-render [COUNT]"""
import os
import random
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from listings import timed, write_class  # noqa: E402

render = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
cores = os.cpu_count() or 1


def listing(rng):
    lines = []
    for i in range(100):
        kind = i % 10
        n = lambda hi: rng.randint(0, hi)
        lines.append([f"line {n(640)} {n(480)} {n(640)} {n(480)} {n(7)}",
                      f"box {n(640)} {n(480)} {n(640)} {n(480)} {n(7)}",
                      f"circle {n(640)} {n(480)} {n(100)} {n(7)}",
                      f"arc {n(640)} {n(480)} {n(100)} {n(360)} {n(360)} {n(7)}",
                      f"paint {n(640)} {n(480)} {n(7)} {n(7)}",
                      f"paint24 {n(640)} {n(480)} {n(255)} {n(255)} {n(255)}",
                      f"text {n(600)} {10 + n(470)} {n(7)} KUV {i}",
                      "rem a comment",
                      f"line {n(640)} {n(480)} {n(640)} {n(480)} {n(7)}",
                      f"circle {n(640)} {n(480)} {n(50)} {n(7)}"][kind])
    return "\r\n".join(lines) + "\r\n"


with tempfile.TemporaryDirectory() as folder:
    rng = random.Random(7)
    listings = write_class(folder, count, lambda: listing(rng))
    one = timed([render, "--batch", os.path.join(folder, "out1"), "-j", "1", listings])
    many = timed([render, "--batch", os.path.join(folder, "outN"), "-j", str(cores), listings])
    os.mkdir(os.path.join(folder, "single"))
    started = time.monotonic()
    for i in range(count):
        name = f"s{i:04d}"
        subprocess.run([render, "-o", os.path.join(folder, "single", name + ".png"),
                        "-l", os.path.join(folder, "single", name + ".kuv"), os.path.join(listings, name + ".kuv")],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    separate = time.monotonic() - started
    print(f"{count} listings of 100 mixed statements, {cores} cores")
    print(f"  --batch -j 1:              {one:7.2f} s")
    print(f"  --batch -j {cores}:              {many:7.2f} s   speed-up {one / many:.2f}x (target >= 1.6x on 2 cores)")
    print(f"  {count} separate processes:  {separate:7.2f} s   batch/separate {many / separate:.2f} (target <= 0.5)")
