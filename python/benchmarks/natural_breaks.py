"""Times mensora.classify(y, "natural_breaks", k=7) beside the library's own
call of the same method, in the same run, alternating, medians of the runs.

The library's time is one call of mensora_classify_natural (the C face of the
C++ member) on a fresh sample handle, made straight through ctypes with no
Python work around it: as in the Python call, the sorted view is built inside.
The Python time is the whole public call: input check, handle, classes, the
class of every value (yb), the fit and the copies of breaks and counts. Wall time (median and
best run) and the process's CPU time (median; all threads, the library's own
included) are shown: on a busy machine the best wall time and the CPU time
are the steadier measures.

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


def now():
    return time.perf_counter(), time.process_time()


def since(start):
    wall, cpu = now()
    return wall - start[0], cpu - start[1]


def library_seconds(y, k):
    with Sample(y) as sample:
        out = Classes()
        start = now()
        status = lib.mensora_classify_natural(sample.handle, k, ctypes.byref(out))
        seconds = since(start)
    check(status, "mensora_classify_natural")
    return seconds


def python_seconds(y, k):
    start = now()
    mensora.classify(y, "natural_breaks", k=k)
    return since(start)


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
    for run in range(args.runs):  # each goes first in every other run
        pair = [(library, library_seconds), (python, python_seconds)][::1 if run % 2 else -1]
        for times, measure in pair:
            times.append(measure(y, args.k))
    print(f"mensora {mensora.__version__}, n = {args.n}, k = {args.k}, medians of "
          f"{args.runs} runs, load average {os.getloadavg()[0]:.2f}")
    print(f"{'':42}{'wall ms':>10}{'best ms':>10}{'CPU ms':>10}")
    rows = [("library call (mensora_classify_natural)", library),
            ("mensora.classify(y, 'natural_breaks')", python)]
    figures = [[statistics.median(t[0] for t in times) * 1e3, min(t[0] for t in times) * 1e3,
                statistics.median(t[1] for t in times) * 1e3] for _, times in rows]
    for (name, _), row in zip(rows, figures):
        print(f"  {name:40}" + "".join(f"{x:10.1f}" for x in row))
    print(f"  {'Python / library':40}" + "".join(f"{p / c:10.3f}" for c, p in zip(*figures)))


if __name__ == "__main__":
    main()
