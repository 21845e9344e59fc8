"""Shared helpers: the mensora command-line tool, a client of the C++ class,
gives the library's own results to compare with."""
import csv
import json
import math
import os
import subprocess
from pathlib import Path

import numpy as np
import pytest

ROOT = Path(__file__).resolve().parents[2]


def tool_path():
    path = os.environ.get("MENSORA_TOOL") or ROOT / "build" / "tools" / "mensora"
    if not Path(path).is_file():
        pytest.skip("the mensora tool is not built (set MENSORA_TOOL)")
    return str(Path(path).resolve())


def _number(x):
    return float(x) if isinstance(x, str) else x  # "NaN", "Infinity", "-Infinity"


def run_tool(values, *args):
    """The tool's JSON output for a sample handed over exactly (shortest repr)."""
    text = " ".join(repr(float(v)) for v in values) + "\n"
    done = subprocess.run([tool_path(), *args, "-", "--format", "json", "--missing", "skip"],
                          input=text,
                          capture_output=True, text=True, timeout=120)
    assert done.returncode == 0, done.stderr
    return json.loads(done.stdout)


def tool_classes(values, *args):
    """(breaks, counts, yb, fit) of the tool's classify; yb from the member ids
    (the tool leaves NaN out as missing)."""
    out = run_tool(values, "classify", *args, "--members")
    yb = np.full(len(values), -1, dtype=np.int32)
    for s, c in enumerate(out["classes"]):
        for member in c["members"]:
            yb[member["row"] - 1] = s
    breaks = np.array([_number(b) for b in out["breaks"]], dtype=np.float64)
    fit = {k: _number(v) for k, v in out["fit"].items()}
    return breaks, np.array([c["count"] for c in out["classes"]]), yb, fit


def tool_summary(values):
    return {k: _number(v) for k, v in run_tool(values, "summary")["measures"].items()}


def same_bits(a, b):
    """Equal as doubles, NaN equal to NaN and the sign of zeros kept."""
    a, b = np.asarray(a, dtype=np.float64), np.asarray(b, dtype=np.float64)
    return (a.shape == b.shape and np.array_equal(a, b, equal_nan=True)
            and np.array_equal(np.signbit(a) & (a == 0), np.signbit(b) & (b == 0)))


def bundled(file, column):
    """A column of a bundled CSV file, NA as NaN."""
    with open(ROOT / "examples" / file, newline="") as f:
        return np.array([math.nan if row[column] in ("", "NA") else float(row[column])
                         for row in csv.DictReader(f)])


BUNDLED = {
    "income": ("us_states_1977.csv", "Income"),
    "population": ("us_states_1977.csv", "Population"),
    "murder": ("us_states_1977.csv", "Murder"),
    "area": ("us_states_1977.csv", "Area"),
    "ozone": ("new_york_air_quality_1973.csv", "Ozone"),
    "solar": ("new_york_air_quality_1973.csv", "Solar.R"),
    "wind": ("new_york_air_quality_1973.csv", "Wind"),
}


def random_sample(seed, n, special=()):
    """Skewed values with ties, and the special values at random places."""
    rng = np.random.default_rng(seed)
    values = np.round(rng.lognormal(2.0, 1.0, n), int(rng.integers(0, 3)))
    values[rng.choice(n, len(special), replace=False)] = special
    return values


NAN_ZEROS = (math.nan, math.nan, -0.0, 0.0)
RANDOM = {  # name: (seed, n, special values)
    "random-1": (1, 1, ()), "random-2": (2, 2, ()), "random-57-nan": (3, 57, NAN_ZEROS),
    "random-1000": (4, 1000, ()), "random-4000-nan": (5, 4000, NAN_ZEROS),
    "random-4000": (6, 4000, ()), "random-500-inf": (7, 500, NAN_ZEROS + (math.inf, -math.inf)),
}
SAMPLES = {**{name: lambda f=f, c=c: bundled(f, c) for name, (f, c) in BUNDLED.items()},
           **{name: lambda args=args: random_sample(*args) for name, args in RANDOM.items()}}
