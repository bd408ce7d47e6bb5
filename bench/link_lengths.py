#!/usr/bin/env python3
"""How long the links of listings are (kuv-render --link, the very links
the page's リンクをコピー makes): each sample, and generated listings of
1,000 lines (mixed statements, and lines of random numbers, the worst
case for deflate); whether each fits a QR code (2,953 bytes at most) and
the 32,000-character limit.
    python3 bench/link_lengths.py build/app/kuv-render [BASE_URL]"""
import glob
import os
import random
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
from listings import mixed_listing  # noqa: E402

render = sys.argv[1]
base = sys.argv[2] if len(sys.argv) > 2 else "https://school.example/kuv/"
samples = sorted(glob.glob(os.path.join(os.path.dirname(__file__), "..", "samples", "*.kuv")))
QR_BYTES, LINK_LIMIT = 2953, 32000


def link_length(path):
    done = subprocess.run([render, "--link", base, path], capture_output=True, text=True)
    return len(done.stdout.strip()) if done.returncode == 0 else None


with tempfile.TemporaryDirectory() as work:
    rows = [(os.path.basename(s), os.path.getsize(s), s) for s in samples]
    rng = random.Random(1)
    for name, text in (("1000 mixed lines", mixed_listing(rng, 1000)),
                       ("1000 lines of random numbers", "".join(f"REM {rng.getrandbits(64)}\r\n" for _ in range(1000)))):
        path = os.path.join(work, name.replace(" ", "-") + ".kuv")
        with open(path, "w", newline="") as f:
            f.write(text)
        rows.append((name, os.path.getsize(path), path))
    print(f"{'listing':32} {'bytes':>8} {'link':>8}  QR code  under 32,000")
    for name, size, path in rows:
        length = link_length(path)
        shown = "refused" if length is None else str(length)
        print(f"{name:32} {size:8} {shown:>8}  {'yes' if length and length <= QR_BYTES else 'no':7}  "
              f"{'yes' if length and length <= LINK_LIMIT else 'no'}")

    # The most mixed lines whose link a QR code holds, and a link holds.
    def most_lines(limit):
        low, high = 1, 20000
        while low < high:
            middle = (low + high + 1) // 2
            path = os.path.join(work, "probe.kuv")
            with open(path, "w", newline="") as f:
                f.write(mixed_listing(random.Random(1), middle))
            length = link_length(path)
            low, high = (middle, high) if length and length <= limit else (low, middle - 1)
        return low
    print(f"the most mixed lines in a QR code: {most_lines(QR_BYTES)}; in a link: {most_lines(LINK_LIMIT)}")
