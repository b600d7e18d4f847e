#!/usr/bin/env python3
"""Time of one execution of each fuzz target against input size.

Builds inputs of 1 KB to 1 MB in the shapes that cost most per byte (long
runs of CR, LF, lead bytes, digits, unit letters, list entries) and runs each
target once on each through libFuzzer's file mode, which prints the time of
every execution. Linear code shows ten times the time for ten times the
input; quadratic code a hundred times.

    tests/fuzz/scaling.py [BUILD_DIR]   (default build/fuzz, as tools/fuzz builds it)
"""
import os
import re
import subprocess
import sys
import tempfile

build = sys.argv[1] if len(sys.argv) > 1 else "build/fuzz"
header = "[Vorna]k307：接円の作図".encode("cp932")
sizes = [1_000, 10_000, 100_000, 1_000_000]


def shapes(n):
    """Per target, the inputs of about n bytes."""
    return {
        "selection": {
            "CR runs": header + b"\r\n" + b"\r" * n + b"\n7\n1\n",
            "lead bytes": header + b"\r\n" + b"\x82" * n + b"\n7\n1\n",
            "NUL-split": b"\x90" * (n // 2) + b"\x00" + b"\x8d" * (n // 2) + b"\x00\x01\x00\x00\x00",
        },
        "configuration": {
            # n / 2 one-byte entries: the count and the lines grow together.
            "entries": b"1\n2\n3\n4\n0\n%d\n" % (n // 2) + b"x\n" * (n // 2) + b"0\n",
            "long lines": b"1\n2\n3\n4\n0\n2\n" + b"5" * (n // 2) + b"\n" + b"\x82" * (n // 2) + b"\n0\n",
        },
        "sync": {
            "long number": b"4" + b"0" * n + b"\na\nb\n",
            "long fraction": b"45293." + b"1" * n + b"e-0\na\nb\n",
            "long texts": b"45293\n" + b"r" * (n // 2) + b"\n" + b"d" * (n // 2) + b"\n",
        },
        "text_lines": {
            "CR": b"\x01" + b"\r" * n,
            "LF": b"\x01" + b"\n" * n,
            "CR LF": b"\x01" + b"\r\n" * (n // 2),
        },
        "numbers": {
            "zeros": b"0" * n + b"1",
            "digits": b"1" * n,
            "spaces": b" " * n + b"1",
            "hex zeros": b"$" + b"0" * n + b"F",
            "fraction": b"1." + b"0" * n + b"e5",
        },
        "value_entry": {
            "m": b"\x02" + b"m" * n,
            "lead bytes": b"\x02" + b"\x81" * n,
            "zusun": b"\x02" + "図寸".encode("cp932") * (n // 4),
            "digits": b"\x02" + b"5" * n,
        },
    }


def run(target, path):
    out = subprocess.run([os.path.join(build, "fuzz_" + target), path], capture_output=True, text=True,
                         errors="replace")
    m = re.search(r"Executed .* in (\d+) ms", out.stderr)
    if out.returncode != 0 or not m:
        sys.exit("fuzz_%s failed on %s:\n%s" % (target, path, out.stderr[-2000:]))
    return int(m.group(1))


with tempfile.TemporaryDirectory() as tmp:
    os.environ["TMPDIR"] = tmp
    table = {}
    for n in sizes:
        for target, inputs in shapes(n).items():
            for name, data in inputs.items():
                path = os.path.join(tmp, "input")
                with open(path, "wb") as f:
                    f.write(data)
                table.setdefault((target, name), []).append(run(target, path))
    print("%-14s %-14s" % ("target", "input") + "".join("%10s" % ("%d KB" % (n // 1000)) for n in sizes) +
          "   1 MB / 100 KB")
    for (target, name), ms in table.items():
        ratio = ms[-1] / ms[-2] if ms[-2] > 0 else float("nan")
        print("%-14s %-14s" % (target, name) + "".join("%8d ms" % t for t in ms) + "   %6.1f" % ratio)
