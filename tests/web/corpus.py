#!/usr/bin/env python3
"""Writes the listings that the browser edition must draw as kuv-render does:
40 generated listings of every statement (TEXT among them, in kana, kanji,
half-width kana and NEC symbols) and faulty words, next to the samples.
    python3 corpus.py DIR"""
import random
import sys

random.seed(4)
chars = [chr(c) for c in range(0x21, 0x7f)] + list("あいうえおかきくけこアイウエオ漢字表示「」、。ｱｲｳｴｵﾞ①Ⅱ㈱")
words = ["LINE", "BOX", "CIRCLE", "ARC", "PAINT", "PAINT24", "TEXT", "REM", "END", "oops"]
for n in range(40):
    lines = []
    for _ in range(random.randint(3, 25)):
        w = random.choice(words)
        if w == "TEXT":
            text = "".join(random.choice(chars) for _ in range(random.randint(1, 10)))
            lines.append(f"TEXT {random.randint(0, 640)} {random.randint(10, 480)} {random.randint(0, 7)} {text}")
        else:
            lines.append(w + " " + " ".join(str(random.randint(-10, 700)) for _ in range(random.randint(3, 7))))
    open(f"{sys.argv[1]}/g{n}.kuv", "wb").write("\r\n".join(lines).encode("cp932", errors="replace"))
