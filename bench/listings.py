"""Listings for the benchmarks: mixed statements with random numbers, of
every kind that draws, as a class's work might hold them, and what the
benchmarks do with them."""
import os
import subprocess
import time


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


def write_class(folder, count, make):
    """count listings made by make(), as a class's folder holds them:
    FOLDER/class/s0000.kuv ...; returns the class's folder."""
    listings = os.path.join(folder, "class")
    os.mkdir(listings)
    for i in range(count):
        with open(os.path.join(listings, f"s{i:04d}.kuv"), "w") as f:
            f.write(make())
    return listings


def timed(args):
    """The seconds a command takes, its output dropped."""
    started = time.monotonic()
    subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.monotonic() - started
