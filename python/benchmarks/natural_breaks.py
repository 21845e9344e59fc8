"""Times mensora.classify(y, "natural_breaks", k=7) beside the library's own
call of the same method, in the same run, alternating, medians of the runs.

The library's time is one call of mensora_classify_natural (the C face of the
C++ member) on a fresh sample handle, made straight through ctypes with no
Python work around it: as in the Python call, the sorted view is built inside.
The Python time is the whole public call: input check, handle, classes, the
class of every value (yb) and the copies of breaks and counts.

    python3 python/benchmarks/natural_breaks.py [--n 1000000] [--k 7] [--runs 7]
"""
import argparse
import ctypes
import os
import statistics
import time

import numpy as np

import mensora
from mensora._native import Classes, Sample, check, lib


def library_seconds(y, k):
    with Sample(y) as sample:
        out = Classes()
        start = time.perf_counter()
        status = lib.mensora_classify_natural(sample.handle, k, ctypes.byref(out))
        seconds = time.perf_counter() - start
    check(status, "mensora_classify_natural")
    return seconds


def python_seconds(y, k):
    start = time.perf_counter()
    mensora.classify(y, "natural_breaks", k=k)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--n", type=int, default=1_000_000)
    parser.add_argument("--k", type=int, default=7)
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    # Skewed, practically all distinct: the natural-breaks programme's hardest case.
    y = np.random.default_rng(7).lognormal(3.0, 1.0, args.n)
    python_seconds(y, args.k)  # warm up: library loaded, pages touched
    library, python = [], []
    for _ in range(args.runs):
        library.append(library_seconds(y, args.k))
        python.append(python_seconds(y, args.k))
    lib_ms, py_ms = statistics.median(library) * 1e3, statistics.median(python) * 1e3
    print(f"mensora {mensora.__version__}, n = {args.n}, k = {args.k}, medians of "
          f"{args.runs} runs, load average {os.getloadavg()[0]:.2f}")
    print(f"  library call (mensora_classify_natural)  {lib_ms:9.1f} ms")
    print(f"  mensora.classify(y, 'natural_breaks')    {py_ms:9.1f} ms")
    print(f"  Python / library                          {py_ms / lib_ms:9.3f}")


if __name__ == "__main__":
    main()
