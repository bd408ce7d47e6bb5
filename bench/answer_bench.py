#!/usr/bin/env python3
"""What --answer adds to a batch: 300 generated listings of 100 mixed
statements rendered with and without an answer, side by side, three times
each (five rounds, alternating, as the machine's load varies); the ratio of
the medians (target: at most 1.15).
    python3 bench/answer_bench.py build/app/kuv-render [COUNT]"""
import os
import random
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from listings import mixed_listing, timed, write_class  # noqa: E402

render = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 300


with tempfile.TemporaryDirectory() as folder:
    rng = random.Random(23)
    listings = write_class(folder, count, lambda: mixed_listing(rng))
    answer = os.path.join(listings, "s0000.kuv")
    plain, checked = [], []
    for round_ in range(5):
        plain.append(timed([render, "--batch", os.path.join(folder, f"plain{round_}"), listings]))
        checked.append(timed([render, "--batch", os.path.join(folder, f"checked{round_}"), "--answer", answer, listings]))
    p, c = statistics.median(plain), statistics.median(checked)
    print("rounds (plain, with --answer):", ", ".join(f"{a:.2f}/{b:.2f}" for a, b in zip(plain, checked)))
    print(f"{count} listings of 100 mixed statements: --batch {p:.2f} s, with --answer {c:.2f} s, "
          f"ratio {c / p:.3f} (target <= 1.15)")
