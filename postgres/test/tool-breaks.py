#!/usr/bin/python3
"""Writes test/data/tool_breaks.csv and tool_summary.csv: the breaks `mensora classify` gives for
every method over columns of the bundled data, the expected results of the
regression test breaks.sql, and the summary of each column. The aggregates see a group's values in
ascending order: where the tool's breaks over the file differ from its
breaks over the column sorted ascending (the methods built on sums, whose
order is part of the result), the case holds the latter and its `input` is
"ascending". Run from the repository root after building the tool; review
the differences before committing a new file:

    /usr/bin/python3 postgres/test/tool-breaks.py build/tools/mensora
"""
import csv
import json
import os
import subprocess
import sys
import tempfile

TOOL = sys.argv[1]
COLUMNS = [
    ("us_states_1977.csv", "Population"),
    ("us_states_1977.csv", "Income"),
    ("us_states_1977.csv", "Illiteracy"),
    ("us_states_1977.csv", "Area"),
    ("new_york_air_quality_1973.csv", "Ozone"),
    ("new_york_air_quality_1973.csv", "Wind"),
    ("new_york_air_quality_1973.csv", "Temp"),
]


def cases(lo, hi):
    """(method, k, options) for a column whose values lie in lo .. hi."""
    mid = (lo + hi) / 2
    return [
        ("equal", 5, {}),
        ("step", None, {"start": lo, "step": (hi - lo) / 4}),
        ("count", 3, {"start": lo, "end": mid}),
        ("stddev", None, {"steps": 2, "times": 1}),
        ("stddev-window", None, {"steps": 1, "times": 0.5, "min": lo, "max": mid}),
        ("quantile", 5, {}),
        ("quantile", 7, {}),
        ("natural", 5, {}),
        ("natural", 3, {}),
        ("natural", None, {"classes": "auto", "gvf": 0.9}),
        ("breaks", None, {"breaks": [lo, mid, hi]}),
        ("pretty", 5, {}),
        ("headtail", None, {}),
        ("headtail", None, {"head-share": 0.5}),
        ("box", None, {}),
        ("box", None, {"hinge": 1}),
        ("maxbreaks", 4, {}),
        ("percentile", None, {"percentiles": [0, 10, 50, 90, 100]}),
        ("geometric", 4, {}),
    ]


def number(x):
    return str(x) if isinstance(x, int) else repr(float(x))


def tool_breaks(path, column, method, k, options):
    args = [TOOL, "classify", path, "--column", column, "--method", method,
            "--missing", "skip", "--format", "json", "--no-members"]
    if k is not None:
        args += ["--classes", str(k)]
    for key, value in options.items():
        if isinstance(value, list):
            value = ",".join(number(v) for v in value)
        elif not isinstance(value, str):
            value = number(value)
        args += ["--" + key, value]
    result = json.loads(subprocess.run(args, check=True, capture_output=True).stdout)
    return "{" + ",".join(repr(float(b)) for b in result["breaks"]) + "}"


rows = []
summaries = []
sorted_file = tempfile.NamedTemporaryFile("w", suffix=".csv", delete=False)
sorted_file.close()
for file, column in COLUMNS:
    path = "examples/" + file
    with open(path) as f:
        text = [r[column] for r in csv.DictReader(f) if r[column] != "NA"]
    values = sorted(float(t) for t in text)
    with open(sorted_file.name, "w") as f:
        f.write(column + "\n" + "\n".join(sorted(text, key=float)) + "\n")
    summary = subprocess.run([TOOL, "summary", sorted_file.name, "--column", column, "--format",
                              "json"], check=True, capture_output=True).stdout
    summaries.append([file, column, json.dumps(json.loads(summary)["measures"])])
    for method, k, options in cases(values[0], values[-1]):
        in_file = tool_breaks(path, column, method, k, options)
        ascending = tool_breaks(sorted_file.name, column, method, k, options)
        rows.append([len(rows) + 1, file, column, method, "" if k is None else k,
                     json.dumps(options), "file" if in_file == ascending else "ascending",
                     ascending])
os.unlink(sorted_file.name)

with open("postgres/test/data/tool_breaks.csv", "w", newline="") as f:
    writer = csv.writer(f)
    writer.writerow(["id", "file", "col", "method", "k", "options", "input", "breaks"])
    writer.writerows(rows)
with open("postgres/test/data/tool_summary.csv", "w", newline="") as f:
    writer = csv.writer(f)
    writer.writerow(["file", "col", "measures"])
    writer.writerows(summaries)
print(len(rows), "cases")
