"""Natural breaks (k = 7) of values rounded to 0.01: wall time and peak driver memory.

    dask    N values generated lazily by Dask (never held by the driver), classified by
            mensora.dask.classify on a local cluster of WORKERS processes of one thread
    memory  N values in a numpy array, classified by mensora.classify
    table   the driver's last step alone over a table of DISTINCT values with their
            counts: its peak memory per distinct value, the figure behind the table bound

Each mode runs in a process of its own, so that its peak resident memory (ru_maxrss) is
its own; "before" is the resident memory just before the timed call.

    python3 python/benchmarks/dask_natural_breaks.py dask [--n 100000000] [--chunk 1000000]
    python3 python/benchmarks/dask_natural_breaks.py memory [--n 10000000]
    python3 python/benchmarks/dask_natural_breaks.py table [--distinct 4000000]
"""
import argparse
import logging
import os
import resource
import time

import numpy as np

import mensora

MIB = 2**20


def rss_now():
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def rss_peak():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024  # KiB on Linux


def report(label, seconds, before, c=None):
    load = os.getloadavg()[0]
    print(f"{label}: {seconds:.1f} s wall, driver resident memory {before / MIB:.0f} MiB before, "
          f"peak {rss_peak() / MIB:.0f} MiB (load average {load:.2f})")
    if c is not None:
        print(f"  breaks {c.breaks.tolist()}\n  counts {c.counts.tolist()}")


def run_dask(args):
    import dask.array as da
    import distributed

    import mensora.dask

    with distributed.LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                                  dashboard_address=":0", silence_logs=logging.ERROR) as cluster:
        with distributed.Client(cluster):
            x = da.random.RandomState(7).lognormal(3.0, 1.0, size=args.n, chunks=args.chunk)
            x = x.round(2)
            before = rss_now()
            start = time.perf_counter()
            c = mensora.dask.classify(x, "natural_breaks", k=args.k)
            seconds = time.perf_counter() - start
    report(f"mensora.dask.classify, n = {args.n:.0e} in chunks of {args.chunk}, "
           f"{args.workers} workers", seconds, before, c)


def run_memory(args):
    y = np.random.default_rng(7).lognormal(3.0, 1.0, args.n).round(2)
    before = rss_now()
    start = time.perf_counter()
    c = mensora.classify(y, "natural_breaks", k=args.k)
    seconds = time.perf_counter() - start
    report(f"mensora.classify in memory, n = {args.n:.0e}", seconds, before, c)


def run_table(args):
    from mensora.dask import _table_counts, _weighted_breaks

    before = rss_now()
    start = time.perf_counter()
    # Every distinct value with a count, as the reduction hands them to the driver.
    values = np.arange(args.distinct, dtype=np.float64) / 100.0
    counts = np.random.default_rng(7).integers(1, 1000, args.distinct)
    breaks = _weighted_breaks("natural_breaks", values, counts, args.k, "table")
    _table_counts(values, counts, breaks)
    seconds = time.perf_counter() - start
    grown = rss_peak() - before
    report(f"driver step over {args.distinct} distinct values", seconds, before)
    print(f"  peak growth {grown / MIB:.0f} MiB: {grown / args.distinct:.0f} bytes per distinct "
          f"value, {grown / (16 * args.distinct):.1f} times the 16-byte table")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("mode", choices=["dask", "memory", "table"])
    parser.add_argument("--n", type=float, default=None)
    parser.add_argument("--chunk", type=int, default=1_000_000)
    parser.add_argument("--workers", type=int, default=2)
    parser.add_argument("--distinct", type=int, default=4_000_000)
    parser.add_argument("--k", type=int, default=7)
    args = parser.parse_args()
    args.n = int(args.n or (1e8 if args.mode == "dask" else 1e7))
    print(f"mensora {mensora.__version__}, natural breaks, k = {args.k}")
    {"dask": run_dask, "memory": run_memory, "table": run_table}[args.mode](args)


if __name__ == "__main__":
    main()
