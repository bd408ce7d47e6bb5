#!/usr/bin/env python3
"""Peak memory and time of kuv-render on large and endless inputs, against
the target of 3 x the input's size + 60 MB.
    python3 bench/render_memory.py build/app/kuv-render [MB]"""
import os
import random
import resource
import subprocess
import sys
import tempfile
import time

render = sys.argv[1]
mb = int(sys.argv[2]) if len(sys.argv) > 2 else 100
size = mb * 1_000_000


def shapes(folder):
    """Files of the given size: line feeds only, one line, a mixed listing."""
    def write(name, chunk):
        path = os.path.join(folder, name)
        with open(path, "wb") as f:
            for _ in range(size // len(chunk)):
                f.write(chunk)
        return path
    rng = random.Random(1)
    mixed = b"".join(b"line %d %d %d %d %d\n" % (rng.randint(0, 640), rng.randint(0, 480), rng.randint(0, 640),
                                                 rng.randint(0, 480), rng.randint(0, 7)) for _ in range(40000))
    return [("line feeds", write("lf.kuv", b"\n" * 1_000_000)),
            ("one line", write("one.kuv", b"A" * 1_000_000)),
            ("mixed statements", write("mixed.kuv", mixed))]


def measure(args, stdin):
    """Peak resident memory (MB) and seconds of one run in a child of its own."""
    child = os.fork()
    if child == 0:
        if stdin:
            fd = os.open(stdin, os.O_RDONLY)
            os.dup2(fd, 0)
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, 1)
        os.dup2(devnull, 2)
        os.execv(render, [render] + args)
    started = time.monotonic()
    _, status, usage = os.wait4(child, 0)
    return usage.ru_maxrss / 1024, time.monotonic() - started, os.waitstatus_to_exitcode(status)


with tempfile.TemporaryDirectory() as folder:
    out = os.path.join(folder, "out.kuv")
    target = 3 * mb + 60
    print(f"kuv-render on {mb} MB inputs; target peak <= {target} MB")
    for name, path in shapes(folder):
        for how, args, stdin in (("file", ["-l", out, path], None), ("standard input", ["-l", out, "-"], path)):
            peak, seconds, code = measure(args, stdin)
            print(f"  {name:17} as {how:15} peak {peak:7.1f} MB  {seconds:6.2f} s  exit {code}"
                  f"  {'ok' if peak <= target else 'OVER TARGET'}")
    peak, seconds, code = measure(["-"], "/dev/zero")
    print(f"  /dev/zero as standard input        peak {peak:7.1f} MB  {seconds:6.2f} s  exit {code}")
