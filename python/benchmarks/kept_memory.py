"""Times natural and quantile breaks in fresh processes with and without the
working arrays the library keeps between calls (MENSORA_KEEP_MEMORY=0).

Each measurement is a new Python process that calls mensora.natural_breaks
or mensora.quantile_breaks (k = 5) on 8 lognormal samples of n values in
turn, three times over, and reports the mean time of a call after the first
8 and the page faults of a call (getrusage); the two settings alternate, and
the best of --rounds processes counts. A fresh process is what a script or
a notebook that classifies a few layers is: the allocator has not yet been
led to hold large blocks by earlier work.

    python3 python/benchmarks/kept_memory.py [--rounds 5] [--sizes 4,5,6] [--keep MiB]
"""
import argparse
import os
import subprocess
import sys

CHILD = """
import resource, sys, time
import numpy as np
import mensora
n, name = int(sys.argv[1]), sys.argv[2]
call = getattr(mensora, name)
samples = np.random.default_rng(7).lognormal(3.0, 1.0, 8 * n).reshape(8, n)
for y in samples:
    call(y, 5)
faults = resource.getrusage(resource.RUSAGE_SELF).ru_minflt
start = time.perf_counter()
for y in list(samples) * 2:
    call(y, 5)
seconds = (time.perf_counter() - start) / 16
print(seconds, (resource.getrusage(resource.RUSAGE_SELF).ru_minflt - faults) / 16)
"""


def measure(n, name, keep):
    env = dict(os.environ)
    env.pop("MENSORA_KEEP_MEMORY", None)
    if keep is not None:
        env["MENSORA_KEEP_MEMORY"] = keep
    out = subprocess.run([sys.executable, "-c", CHILD, str(n), name], env=env, check=True,
                         capture_output=True, text=True).stdout.split()
    return float(out[0]), float(out[1])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--sizes", default="4,5,6", help="powers of ten")
    parser.add_argument("--keep", help="MENSORA_KEEP_MEMORY of the kept column (default: unset)")
    args = parser.parse_args()
    settings = {"none kept": "0", "kept": args.keep}
    print(f"{'n':>9} {'call':>16} {'none kept':>11} {'kept':>11} {'ratio':>6}"
          f" {'faults/call':>12} {'kept':>6}")
    for n in (10 ** int(p) for p in args.sizes.split(",")):
        for name in ("natural_breaks", "quantile_breaks"):
            best = {label: (float("inf"), 0.0) for label in settings}
            for r in range(args.rounds):
                order = list(settings.items())
                for label, keep in order if r % 2 == 0 else reversed(order):
                    best[label] = min(best[label], measure(n, name, keep))
            (cold, cold_faults), (warm, warm_faults) = best["none kept"], best["kept"]
            print(f"{n:>9} {name:>16} {cold * 1e3:9.2f}ms {warm * 1e3:9.2f}ms {cold / warm:6.2f}"
                  f" {cold_faults:12.0f} {warm_faults:6.0f}")


if __name__ == "__main__":
    main()
