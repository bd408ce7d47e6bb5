"""Listings for the benchmarks: mixed statements with random numbers, of
every kind that draws, as a class's work might hold them."""


def mixed_listing(rng, lines=100):
    n = lambda hi: rng.randint(0, hi)
    kinds = [lambda i: f"line {n(640)} {n(480)} {n(640)} {n(480)} {n(7)}",
             lambda i: f"box {n(640)} {n(480)} {n(640)} {n(480)} {n(7)}",
             lambda i: f"circle {n(640)} {n(480)} {n(100)} {n(7)}",
             lambda i: f"arc {n(640)} {n(480)} {n(100)} {n(360)} {n(360)} {n(7)}",
             lambda i: f"paint {n(640)} {n(480)} {n(7)} {n(7)}",
             lambda i: f"text {n(600)} {10 + n(470)} {n(7)} KUV {i}",
             lambda i: "rem a comment"]
    return "\r\n".join(kinds[i % len(kinds)](i) for i in range(lines)) + "\r\n"
