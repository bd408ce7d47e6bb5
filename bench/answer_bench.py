#!/usr/bin/env python3
"""What --answer adds to a batch: 300 generated listings of 100 mixed
statements rendered with and without an answer, side by side, three times
each (five rounds, alternating, as the machine's load varies); the ratio of
the medians (target: at most 1.15).
    python3 bench/answer_bench.py build/app/kuv-render [COUNT]"""
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
from listings import mixed_listing  # noqa: E402

render = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 300


def timed(args):
    started = time.monotonic()
    subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - started


with tempfile.TemporaryDirectory() as folder:
    rng = random.Random(23)
    listings = os.path.join(folder, "class")
    os.mkdir(listings)
    for i in range(count):
        with open(os.path.join(listings, f"s{i:04d}.kuv"), "w") as f:
            f.write(mixed_listing(rng))
    answer = os.path.join(listings, "s0000.kuv")
    plain, checked = [], []
    for round_ in range(5):
        plain.append(timed([render, "--batch", os.path.join(folder, f"plain{round_}"), listings]))
        checked.append(timed([render, "--batch", os.path.join(folder, f"checked{round_}"), "--answer", answer, listings]))
    p, c = statistics.median(plain), statistics.median(checked)
    print("rounds (plain, with --answer):", ", ".join(f"{a:.2f}/{b:.2f}" for a, b in zip(plain, checked)))
    print(f"{count} listings of 100 mixed statements: --batch {p:.2f} s, with --answer {c:.2f} s, "
          f"ratio {c / p:.3f} (target <= 1.15)")
