"""Times natural breaks in C++, through the C interface, in Python and in
WebAssembly (Node) on the same values, each as a ratio to the C++ call.

The C++ and C calls are made and timed in C++ by the library's timed calls
(bench/call_timer.cpp, loaded here with ctypes), so that no foreign-call cost
enters them; the Python call is the public mensora.natural_breaks; the
WebAssembly call is the package's naturalBreaks in a Node process
(js/bench/call-table.mjs, its module compiled by the optimizing compiler from
the start) started once per round. A call is always the whole
of it: sample or object, sorted view, classes, release. Values: lognormal,
practically all distinct, in --samples samples of each size (fewer where they
would pass 2 * 10^6 values) taken in turn, call after call, by every kind
alike: one sample called again and again lets the processor learn the
branches of the call (natural breaks of 10^3 values with k = 20 ran in half
the time), which real use does not allow; --samples 1 times it so. Each
round times a batch of calls of each kind in turn (the order rotates; small
calls are batched up to about 2 ms, their mean taken); the best round of each
kind counts. Every kind must give the same breaks, bit for bit, checked on
the first sample after the rounds.

With --bindings the Python calls natural_breaks, quantile_breaks and classify
(natural breaks) are timed against the same C++ work instead: the class
object's call, and for classify also what its result holds: the class of
every value, the fit, and each class's smallest and largest member, which
its labels read. Each kind shows its best time, the ratio of the best times
("/ C++"), the median ratio of the Python and C++ batches timed one after the
other ("pairs": a shared machine that slows for a moment slows both sides of
a pair, where the best times of two kinds may come from different moments)
and the time Python adds to the best C++ time.

    python3 python/benchmarks/call_table.py --timer BUILD/bench/libmensora_call_timer.so
        [--node js/bench/call-table.mjs] [--rounds 5] [--sizes 1,2,3,4,5,6] [--ks 5,7,20]
        [--samples 8] [--bindings]

scripts/bench-table.sh builds what it needs and runs it.
"""
import argparse
import ctypes
import json
import os
import subprocess
import tempfile
import time

import numpy as np

import mensora

BATCH_SECONDS = 0.002


def load_timer(path):
    timer = ctypes.CDLL(path)
    timer.mensora_timer_cpp.restype = ctypes.c_double
    timer.mensora_timer_cpp.argtypes = [ctypes.c_void_p] + [ctypes.c_int32] * 6 + [
        ctypes.c_void_p, ctypes.c_void_p]
    timer.mensora_timer_c.restype = ctypes.c_double
    timer.mensora_timer_c.argtypes = [ctypes.c_void_p] + [ctypes.c_int32] * 5 + [ctypes.c_void_p]
    return timer


class Cell:
    """One size and class count: its samples (one block of values, one sample
    after another), batch and best time of each kind, and the sample the
    batches of the current round start at."""

    def __init__(self, timer, block, n, k):
        self.block, self.n, self.k = block, n, k
        self.samples = len(block) // n
        self.views = [block[s * n:(s + 1) * n] for s in range(self.samples)]
        self.turn = 0
        self.best = {}
        self.paired = {}  # kind: Python / C++ of each pair of batches timed together
        self.labels = np.empty(n, dtype=np.int32)
        self.timer = timer
        self.batch = 1
        seconds = self.cpp(0, 1)  # warm, and the size of a batch
        self.batch = max(1, min(5000, int(BATCH_SECONDS / max(seconds, 1e-9))))

    def cpp(self, method, batch=None, first=None, out=None):
        out = np.empty(self.k + 1) if out is None else out
        batch = batch or self.batch
        seconds = self.timer.mensora_timer_cpp(
            self.block.ctypes.data, self.n, self.k, method, self.samples,
            self.turn if first is None else first, batch, out.ctypes.data,
            self.labels.ctypes.data)
        if seconds < 0:
            raise SystemExit("the C++ call failed")
        return seconds / batch

    def c(self, batch=None, first=None, out=None):
        out = np.empty(self.k + 1) if out is None else out
        batch = batch or self.batch
        seconds = self.timer.mensora_timer_c(self.block.ctypes.data, self.n, self.k, self.samples,
                                             self.turn if first is None else first, batch,
                                             out.ctypes.data)
        if seconds < 0:
            raise SystemExit("the C call failed")
        return seconds / batch

    def python(self, call):
        k = self.k
        turns = [self.views[(self.turn + i) % self.samples] for i in range(self.batch)]
        start = time.perf_counter()
        for y in turns:
            call(y, k)
        return (time.perf_counter() - start) / len(turns)

    def record(self, kind, seconds):
        self.best[kind] = min(self.best.get(kind, np.inf), seconds)


def same_bits(a, b):
    return np.asarray(a, dtype=np.float64).tobytes() == np.asarray(b, dtype=np.float64).tobytes()


def classify_natural(y, k):
    return mensora.classify(y, "natural_breaks", k=k)


def alternations(cell):
    """Small calls cost little: they are alternated more often."""
    return 5 if cell.n <= 10_000 else 3 if cell.n <= 100_000 else 1


def run_round(cells, round_number, bindings):
    if bindings:
        return run_bindings_round(cells, round_number)
    kinds = [("cpp 0", lambda c: c.cpp(0)), ("c", lambda c: c.c()),
             ("python", lambda c: c.python(mensora.natural_breaks))]
    shift = round_number % len(kinds)
    order = kinds[shift:] + kinds[:shift]
    for cell in cells:
        for _ in range(alternations(cell)):
            for kind, measure in order:
                cell.record(kind, measure(cell))
            cell.turn = (cell.turn + cell.batch) % cell.samples


def run_bindings_round(cells, round_number):
    """Each Python call against its C++ work, the pair timed together (which
    goes first alternates from round to round)."""
    pairs = [("natural_breaks", lambda c: c.python(mensora.natural_breaks), lambda c: c.cpp(0)),
             ("quantile_breaks", lambda c: c.python(mensora.quantile_breaks), lambda c: c.cpp(1)),
             ("classify", lambda c: c.python(classify_natural), lambda c: c.cpp(2))]
    for cell in cells:
        for _ in range(alternations(cell)):
            for name, python, cpp in pairs:
                if round_number % 2:
                    p, c = python(cell), cpp(cell)
                else:
                    c, p = cpp(cell), python(cell)
                cell.record(name, p)
                cell.record(f"cpp {name}", c)
                cell.paired.setdefault(name, []).append(p / c)
            cell.turn = (cell.turn + cell.batch) % cell.samples


def run_node(node_script, directory, cells):
    specs = [f"{c.n}:{c.k}:{c.batch}:{c.samples}" for c in cells]
    out = subprocess.run(["node", "--no-liftoff", node_script, directory, *specs], check=True,
                         capture_output=True, text=True).stdout
    got = json.loads(out)
    for cell in cells:
        seconds, breaks = got[f"{cell.n}:{cell.k}"]
        cell.record("wasm", seconds)
        cell.node_breaks = np.array(breaks, dtype=np.float64)


def check_breaks(cells, bindings):
    """Every kind's breaks of the first sample, bit for bit those of the C++ call."""
    for cell in cells:
        y, k = cell.views[0], cell.k
        natural, quantile = np.empty(k + 1), np.empty(k + 1)
        cell.cpp(0, 1, 0, natural)
        cell.cpp(1, 1, 0, quantile)
        got = {"python natural_breaks": (mensora.natural_breaks(y, k), natural)}
        if bindings:
            got["python quantile_breaks"] = (mensora.quantile_breaks(y, k), quantile)
            got["python classify"] = (classify_natural(y, k).breaks, natural)
        else:
            c = np.empty(k + 1)
            cell.c(1, 0, c)
            got["c"] = (c, natural)
            if hasattr(cell, "node_breaks"):
                got["wasm"] = (cell.node_breaks, natural)
        for kind, (breaks, expected) in got.items():
            if not same_bits(breaks, expected):
                raise SystemExit(f"n = {cell.n}, k = {k}: the breaks of {kind} differ from "
                                 "those of the C++ call")


def print_table(cells, has_node):
    print(f"{'n':>9} {'k':>3} {'C++ µs':>12} {'C / C++':>9} {'Python / C++':>13}"
          f" {'WebAssembly / C++':>18}")
    for cell in cells:
        cpp = cell.best["cpp 0"]
        wasm = f"{cell.best['wasm'] / cpp:18.2f}" if has_node else f"{'-':>18}"
        print(f"{cell.n:>9} {cell.k:>3} {cpp * 1e6:12.1f} {cell.best['c'] / cpp:9.3f}"
              f" {cell.best['python'] / cpp:13.3f} {wasm}")


def print_bindings(cells):
    names = ("natural_breaks", "quantile_breaks", "classify")
    print(f"{'':>13}" + "".join(f" {name:^31}" for name in names))
    print(f"{'n':>9} {'k':>3}" + f" {'µs':>8} {'/ C++':>6} {'pairs':>6} {'+ µs':>8}" * len(names))
    for cell in cells:
        row = f"{cell.n:>9} {cell.k:>3}"
        for name in names:
            p, c = cell.best[name], cell.best[f"cpp {name}"]
            row += (f" {p * 1e6:8.1f} {p / c:6.3f} {np.median(cell.paired[name]):6.3f}"
                    f" {(p - c) * 1e6:8.1f}")
        print(row)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--timer", required=True, help="path of libmensora_call_timer")
    parser.add_argument("--node", help="js/bench/call-table.mjs, for the WebAssembly column")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--sizes", default="1,2,3,4,5,6", help="powers of ten")
    parser.add_argument("--ks", default="5,7,20")
    parser.add_argument("--samples", type=int, default=8,
                        help="samples of each size taken in turn (1: the same values each call)")
    parser.add_argument("--bindings", action="store_true")
    args = parser.parse_args()
    timer = load_timer(args.timer)
    sizes = [10 ** int(p) for p in args.sizes.split(",")]
    ks = [int(k) for k in args.ks.split(",")]
    with tempfile.TemporaryDirectory(prefix="mensora-table-") as directory:
        cells = []
        for n in sizes:
            samples = max(1, min(args.samples, 2_000_000 // n))
            block = np.random.default_rng(7).lognormal(3.0, 1.0, samples * n)
            block.tofile(os.path.join(directory, f"values-{n}.bin"))
            cells += [Cell(timer, block, n, k) for k in ks]
        has_node = args.node is not None and not args.bindings
        for round_number in range(args.rounds):
            run_round(cells, round_number, args.bindings)
            if has_node:
                run_node(args.node, directory, cells)
        check_breaks(cells, args.bindings)
    threads = os.environ.get("MENSORA_THREADS", "the library's default")
    print(f"mensora {mensora.__version__}; lognormal values, up to {args.samples} samples of "
          f"each size in turn; best of {args.rounds} rounds, calls alternated; threads: "
          f"{threads}; load average {os.getloadavg()[0]:.2f}")
    if args.bindings:
        print_bindings(cells)
    else:
        print_table(cells, has_node)


if __name__ == "__main__":
    main()
