"""Times natural breaks in C++, through the C interface, in Python and in
WebAssembly (Node) on the same values, each as a ratio to the C++ call.

The C++ and C calls are made and timed in C++ by the library's timed calls
(bench/call_timer.cpp, loaded here with ctypes), so that no foreign-call cost
enters them; the Python call is the public mensora.natural_breaks; the
WebAssembly call is the package's naturalBreaks in a Node process
(js/bench/call-table.mjs, its module compiled by the optimizing compiler from
the start) started once per round. A call is always the whole
of it: sample or object, sorted view, classes, release. Values: lognormal,
practically all distinct. Each round times a batch of calls of each kind in
turn (the order rotates; small calls are batched up to about 2 ms, their mean
taken); the best round of each kind counts. Every kind must give the same
breaks, bit for bit.

With --bindings the Python calls natural_breaks, quantile_breaks and classify
(natural breaks) are timed against the same C++ work instead: the class
object's call, and for classify also what its result holds: the class of
every value, the fit, and each class's smallest and largest member, which
its labels read.

    python3 python/benchmarks/call_table.py --timer BUILD/bench/libmensora_call_timer.so
        [--node js/bench/call-table.mjs] [--rounds 5] [--sizes 1,2,3,4,5,6] [--ks 5,7,20]
        [--bindings]

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
    timer.mensora_timer_cpp.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_int32,
                                        ctypes.c_int32, ctypes.c_int32, ctypes.c_void_p,
                                        ctypes.c_void_p]
    timer.mensora_timer_c.restype = ctypes.c_double
    timer.mensora_timer_c.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_int32,
                                      ctypes.c_int32, ctypes.c_void_p]
    return timer


class Cell:
    """One size and class count: its values, batch and best time of each kind."""

    def __init__(self, timer, y, k):
        self.y, self.k = y, k
        self.breaks = {}
        self.best = {}
        self.labels = np.empty(len(y), dtype=np.int32)
        self.timer = timer
        self.batch = 1
        seconds = self.cpp(0, 1)  # warm, and the size of a batch
        self.batch = max(1, min(5000, int(BATCH_SECONDS / max(seconds, 1e-9))))

    def cpp(self, method, batch=None):
        out = np.empty(self.k + 1)
        seconds = self.timer.mensora_timer_cpp(self.y.ctypes.data, len(self.y), self.k, method,
                                               batch or self.batch, out.ctypes.data,
                                               self.labels.ctypes.data)
        if seconds < 0:
            raise SystemExit("the C++ call failed")
        self.breaks[("cpp", method)] = out
        return seconds / (batch or self.batch)

    def c(self):
        out = np.empty(self.k + 1)
        seconds = self.timer.mensora_timer_c(self.y.ctypes.data, len(self.y), self.k, self.batch,
                                             out.ctypes.data)
        if seconds < 0:
            raise SystemExit("the C call failed")
        self.breaks["c"] = out
        return seconds / self.batch

    def python(self, call):
        y, k, batch = self.y, self.k, self.batch
        start = time.perf_counter()
        for _ in range(batch):
            got = call(y, k)
        seconds = (time.perf_counter() - start) / batch
        self.breaks[call] = got if isinstance(got, np.ndarray) else got.breaks
        return seconds

    def record(self, kind, seconds):
        self.best[kind] = min(self.best.get(kind, np.inf), seconds)


def same_bits(a, b):
    return np.asarray(a, dtype=np.float64).tobytes() == np.asarray(b, dtype=np.float64).tobytes()


def classify_natural(y, k):
    return mensora.classify(y, "natural_breaks", k=k)


def run_round(cells, round_number, bindings):
    for cell in cells:
        if bindings:
            kinds = [("natural_breaks", lambda c: c.python(mensora.natural_breaks)),
                     ("cpp 0", lambda c: c.cpp(0)),
                     ("quantile_breaks", lambda c: c.python(mensora.quantile_breaks)),
                     ("cpp 1", lambda c: c.cpp(1)),
                     ("classify", lambda c: c.python(classify_natural)),
                     ("cpp 2", lambda c: c.cpp(2))]
            pairs = [kinds[i:i + 2] for i in range(0, len(kinds), 2)]
            order = [kind for pair in pairs
                     for kind in (pair if round_number % 2 else pair[::-1])]
        else:
            kinds = [("cpp 0", lambda c: c.cpp(0)), ("c", lambda c: c.c()),
                     ("python", lambda c: c.python(mensora.natural_breaks))]
            shift = round_number % len(kinds)
            order = kinds[shift:] + kinds[:shift]
        # Small calls cost little: they are alternated more often.
        for _ in range(5 if len(cell.y) <= 10_000 else 1):
            for kind, measure in order:
                cell.record(kind, measure(cell))


def run_node(node_script, directory, cells):
    specs = [f"{len(c.y)}:{c.k}:{c.batch}" for c in cells]
    out = subprocess.run(["node", "--no-liftoff", node_script, directory, *specs], check=True,
                         capture_output=True, text=True).stdout
    got = json.loads(out)
    for cell in cells:
        seconds, breaks = got[f"{len(cell.y)}:{cell.k}"]
        cell.record("wasm", seconds)
        cell.breaks["wasm"] = np.array(breaks, dtype=np.float64)


def check_breaks(cells):
    for cell in cells:
        for key, breaks in cell.breaks.items():
            quantile = key in (("cpp", 1), mensora.quantile_breaks)
            if not same_bits(breaks, cell.breaks[("cpp", 1 if quantile else 0)]):
                raise SystemExit(f"n = {len(cell.y)}, k = {cell.k}: the breaks of {key} differ "
                                 "from those of the C++ call")


def print_table(cells, has_node):
    print(f"{'n':>9} {'k':>3} {'C++ µs':>12} {'C / C++':>9} {'Python / C++':>13}"
          f" {'WebAssembly / C++':>18}")
    for cell in cells:
        cpp = cell.best["cpp 0"]
        wasm = f"{cell.best['wasm'] / cpp:18.2f}" if has_node else f"{'-':>18}"
        print(f"{len(cell.y):>9} {cell.k:>3} {cpp * 1e6:12.1f} {cell.best['c'] / cpp:9.3f}"
              f" {cell.best['python'] / cpp:13.3f} {wasm}")


def print_bindings(cells):
    print(f"{'n':>9} {'k':>3}" + "".join(f" {name + ' µs':>18} {'/ C++':>7} {'- C++ µs':>9}"
                                         for name in ("natural_breaks", "quantile_breaks",
                                                      "classify")))
    for cell in cells:
        row = f"{len(cell.y):>9} {cell.k:>3}"
        for name, method in (("natural_breaks", 0), ("quantile_breaks", 1), ("classify", 2)):
            p, c = cell.best[name], cell.best[f"cpp {method}"]
            row += f" {p * 1e6:18.1f} {p / c:7.3f} {(p - c) * 1e6:9.1f}"
        print(row)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--timer", required=True, help="path of libmensora_call_timer")
    parser.add_argument("--node", help="js/bench/call-table.mjs, for the WebAssembly column")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--sizes", default="1,2,3,4,5,6", help="powers of ten")
    parser.add_argument("--ks", default="5,7,20")
    parser.add_argument("--bindings", action="store_true")
    args = parser.parse_args()
    timer = load_timer(args.timer)
    sizes = [10 ** int(p) for p in args.sizes.split(",")]
    ks = [int(k) for k in args.ks.split(",")]
    with tempfile.TemporaryDirectory(prefix="mensora-table-") as directory:
        cells = []
        for n in sizes:
            y = np.random.default_rng(7).lognormal(3.0, 1.0, n)
            y.tofile(os.path.join(directory, f"values-{n}.bin"))
            cells += [Cell(timer, y, k) for k in ks]
        has_node = args.node is not None and not args.bindings
        for round_number in range(args.rounds):
            run_round(cells, round_number, args.bindings)
            if has_node:
                run_node(args.node, directory, cells)
        check_breaks(cells)
    threads = os.environ.get("MENSORA_THREADS", "the library's default")
    print(f"mensora {mensora.__version__}; lognormal values; best of {args.rounds} rounds, calls "
          f"alternated; threads: {threads}; load average {os.getloadavg()[0]:.2f}")
    if args.bindings:
        print_bindings(cells)
    else:
        print_table(cells, has_node)


if __name__ == "__main__":
    main()
