"""Drives the built mensora executable as a user would: exit codes and
messages for bad input, JSON and SVG well-formedness, CSV with labels,
standard input, and the results on a small sample against the library's own.

Usage: test_cli.py --mensora PATH --expect PATH [unittest arguments]
"""
import csv
import io
import json
import math
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

MENSORA = None
EXPECT = None

SAMPLE = "4 1 3 2 5 2 2 7.5 0.1 9\n"


def run(*args, stdin=None):
    """Runs mensora; returns (exit code, stdout, stderr) as text."""
    done = subprocess.run([MENSORA, *args], input=stdin, capture_output=True,
                          text=True, timeout=60)
    return done.returncode, done.stdout, done.stderr


def run_bytes(*args, stdin=None):
    done = subprocess.run([MENSORA, *args], input=stdin, capture_output=True, timeout=60)
    return done.returncode, done.stdout, done.stderr


class FileCase(unittest.TestCase):
    """A temporary directory with helpers to write input files."""

    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def write(self, name, text, mode="w"):
        path = os.path.join(self.dir.name, name)
        with open(path, mode) as f:
            f.write(text)
        return path

    def fails(self, code, args, stdin=None, mentions=()):
        """Asserts a run fails with this code, one message line and no output."""
        rc, out, err = run(*args, stdin=stdin)
        self.assertEqual(rc, code, err)
        self.assertEqual(out, "")
        lines = err.splitlines()
        self.assertEqual(len(lines), 1, err)
        self.assertTrue(lines[0].startswith("mensora: "), err)
        for text in mentions:
            self.assertIn(text, lines[0])
        return lines[0]


class Usage(FileCase):
    def test_bad_commands_and_options(self):
        data = self.write("d.txt", SAMPLE)
        self.fails(2, [], mentions=["no command"])
        self.fails(2, ["average", data], mentions=["unknown command 'average'"])
        self.fails(2, ["summary"], mentions=["needs a FILE"])
        self.fails(2, ["summary", data, "extra"], mentions=["unexpected argument 'extra'"])
        self.fails(2, ["summary", data, "--colour"], mentions=["unknown option '--colour'"])
        self.fails(2, ["summary", data, "--format"], mentions=["--format needs a value"])
        self.fails(2, ["summary", data, "--format", "xml"], mentions=["'xml'"])
        self.fails(2, ["summary", data, "--missing", "drop"], mentions=["'drop'"])
        self.fails(2, ["summary", data, "--method", "equal"], mentions=["does not apply to summary"])
        self.fails(2, ["select", data, "--min", "1"], mentions=["--min and --max"])

    def test_bad_option_values(self):
        data = self.write("d.txt", SAMPLE)
        equal = ["classify", data, "--method", "equal"]
        self.fails(2, ["classify", data, "--classes", "3"], mentions=["needs --method"])
        self.fails(2, ["classify", data, "--method", "jenks"], mentions=["unknown method 'jenks'"])
        self.fails(2, equal, mentions=["needs --classes"])
        for bad in ["0", "-2", "2.5", "x", "", "99999999999"]:
            self.fails(2, equal + ["--classes", bad], mentions=["--classes"])
        self.fails(2, equal + ["--classes=3", "--step", "1"],
                   mentions=["--step does not apply to --method equal"])
        step = ["classify", data, "--method", "step", "--start", "0"]
        for bad in ["0", "-1", "nan", "inf"]:
            self.fails(2, step + ["--step", bad], mentions=["--step"])
        self.fails(2, step + ["--step", "1", "--end", "nan"], mentions=["--end"])
        self.fails(2, step + ["--step", "1", "--end", "-1"], mentions=["--end must be above"])
        self.fails(2, ["classify", data, "--method", "count", "--start", "3", "--classes", "2",
                       "--end", "3"], mentions=["--end must be above"])
        self.fails(2, ["classify", data, "--method", "stddev", "--steps", "1", "--times", "-1"],
                   mentions=["--times"])
        self.fails(2, ["summary", data, "--every", "0"], mentions=["--every"])
        self.fails(2, ["summary", data, "--every", "11"], mentions=["more than the number of values (10)"])
        self.fails(2, ["select", data, "--min", "nan", "--max", "1"], mentions=["--min"])
        for option, bad in [("--breaks", "1"), ("--breaks", "2,1"), ("--breaks", "1,inf"),
                            ("--breaks", "1,,2"), ("--percentiles", "0,101"),
                            ("--head-share", "1"), ("--hinge", "-1"), ("--gvf", "1.5"),
                            ("--max-classes", "1")]:
            self.fails(2, ["classify", data, option, bad], mentions=[option])
        self.fails(2, ["classify", data, "--method", "breaks"], mentions=["needs --breaks"])
        self.fails(2, ["classify", data, "--method", "equal", "--classes", "auto"],
                   mentions=["--classes auto does not apply"])
        self.fails(2, ["classify", data, "--method", "natural", "--classes", "3", "--gvf", "0.9"],
                   mentions=["only with --classes auto"])
        self.fails(7, ["classify", "-", "--method", "geometric", "--classes", "2"],
                   stdin="0 1 2\n", mentions=["DataSecByGeometric"])


class BadInput(FileCase):
    def test_unreadable_file(self):
        missing = os.path.join(self.dir.name, "absent.txt")
        self.fails(3, ["summary", missing], mentions=[missing])
        self.fails(3, ["summary", self.dir.name], mentions=[self.dir.name])

    def test_bad_numbers_name_file_line_and_text(self):
        path = self.write("bad.txt", "1 2\n3, 4\n5 x6 7\n")
        self.fails(4, ["summary", path], mentions=[path + ":3", "'x6'"])
        for text in ["1e400", "-1e-400", "0x10", "1.2.3", "++1", "1;5", "-+1"]:
            path = self.write("bad2.txt", "1\n" + text + "\n")
            self.fails(4, ["summary", path], mentions=[":2"])

    def test_missing_values(self):
        path = self.write("gaps.txt", "1, 2\n3,,4\nNA 5\n")
        self.fails(4, ["summary", path], mentions=[path + ":2", "--missing skip"])
        rc, out, err = run("summary", path, "--missing", "skip", "--format", "json")
        self.assertEqual(rc, 0, err)
        self.assertIn("skipped 2 missing values", err)
        result = json.loads(out)
        self.assertEqual(result["source"]["missing_skipped"], 2)
        self.assertEqual(result["measures"]["count"], 5)
        self.assertEqual(result["measures"]["mean"], 3)

    def test_malformed_csv(self):
        path = self.write("t.csv", 'name,value\n"a",1\n"b,2\n')
        self.fails(4, ["summary", path, "--column", "value"], mentions=[":3", "not closed"])
        path = self.write("t.csv", "name,value\na,1\nb,2,3\n")
        self.fails(4, ["summary", path, "--column", "value"], mentions=[":3", "3 fields", "has 2"])
        path = self.write("t.csv", "name,value\na,1\nb,two\n")
        self.fails(4, ["summary", path, "--column", "value"], mentions=[":3", "'two'", "value"])

    def test_no_values(self):
        self.fails(5, ["summary", self.write("empty.txt", "")], mentions=["no values"])
        self.fails(5, ["summary", "-"], stdin=" \n\n", mentions=["standard input: no values"])
        self.fails(5, ["summary", self.write("h.csv", "a,b\n"), "--column", "a"])
        self.fails(5, ["summary", self.write("na.txt", "NA NA\n"), "--missing", "skip"],
                   mentions=["2 missing skipped"])

    def test_unknown_column(self):
        path = self.write("t.csv", "name,x,y\na,1,2\n")
        self.fails(6, ["summary", path, "--column", "z"], mentions=["'z'", "name, x, y"])
        self.fails(6, ["summary", path, "--column", "4"])
        self.fails(6, ["summary", path, "--label", "who", "--column", "x"], mentions=["--label"])
        self.fails(6, ["summary", path], mentions=["3 columns", "--column"])

    def test_binary_data_is_named_and_quoted_bytes_escaped(self):
        for name, data in [("ls", b"\x7fELF\x02\x01\x01" + bytes(100) + b"\n1,2,3,4\n"),
                           ("t.csv.gz", b"\x1f\x8b\x08\x00" + bytes(range(256))),
                           ("png", b"\x89PNG\r\n\x1a\n1\n")]:
            rc, out, err = run_bytes("summary", self.write(name, data, mode="wb"))
            self.assertEqual((rc, out), (4, b""), name)
            self.assertIn(b" looks like binary data, not text", err)
        self.assertIn(b"gunzip", run_bytes("summary", os.path.join(self.dir.name, "t.csv.gz"))[2])
        # Past the first block a bad cell is quoted whole, its bytes escaped;
        # well-formed UTF-8 stays as it is. A single-byte encoding is text.
        path = self.write("late.txt", b"1\n" * 40000 + b"2\x00\x1b[31m\xff\n", mode="wb")
        rc, _, err = run_bytes("summary", path)
        self.assertIn(b":40001: '2\\x00\\x1b[31m\\xff' is not a number\n", err)
        rc, _, err = run_bytes("summary", "-", stdin="1\nS\u00e3o".encode() + b"\xfc\n")
        self.assertIn("'S\u00e3o\\xfc' is not a number".encode(), err)

    def test_library_failure_is_reported_not_printed(self):
        data = self.write("d.txt", SAMPLE)
        for fmt in ["text", "json", "csv"]:
            self.fails(7, ["classify", data, "--method", "step", "--start", "20", "--step", "1",
                           "--format", fmt], mentions=["DataStatByStartAndStep", "gives no class"])

    def test_unwritable_svg(self):
        data = self.write("d.txt", SAMPLE)
        target = os.path.join(self.dir.name, "no", "such", "dir.svg")
        self.fails(8, ["classify", data, "--method", "equal", "--classes", "2", "--svg", target],
                   mentions=[target])


class StandardInputAndPlain(FileCase):
    def test_separators_and_exact_numbers(self):
        text = "0.1, 1e-300\t5e-324\n\n1.7976931348623157e308 -0 +2.5\r\n3\n"
        rc, out, err = run("select", "-", "--min", "-inf", "--max", "inf", "--format", "json",
                           stdin=text)
        self.assertEqual(rc, 0, err)
        result = json.loads(out)
        got = [m["value"] for m in result["members"]]
        self.assertEqual([repr(float(v)) for v in got],
                         ["0.1", "1e-300", "5e-324", "1.7976931348623157e+308", "-0.0", "2.5", "3.0"])
        self.assertTrue(math.copysign(1, got[4]) < 0)
        self.assertEqual([m["row"] for m in result["members"]], [1, 2, 3, 4, 5, 6, 7])
        # The text output writes the same shortest forms.
        rc, out, _ = run("select", "-", "--min", "-inf", "--max", "inf", stdin=text)
        for shortest in ["0.1", "1e-300", "5e-324", "1.7976931348623157e+308", "-0", "2.5"]:
            self.assertIn("  " + shortest + "\n", out)

    def test_decimal_texts_read_as_the_nearest_double(self):
        texts = ["9007199254740993", "2.2250738585072011e-308", "0.3", "1e23",
                 "4.9406564584124654e-324", "123456789012345678901234567890",
                 "0.1000000000000000055511151231257827", "-1.5E+2", "+.5", "7."]
        rc, out, err = run("select", "-", "--min", "-inf", "--max", "inf", "--format", "csv",
                           stdin="\n".join(texts))
        self.assertEqual(rc, 0, err)
        got = [row["value"] for row in csv.DictReader(io.StringIO(out))]
        self.assertEqual([float(v) for v in got], [float(t) for t in texts])
        # Shortest round trip: no longer than Python's own shortest form.
        for text, written in zip(texts, got):
            self.assertLessEqual(len(written), len(repr(float(text))), (text, written))

    def test_undefined_geometric_mean(self):
        for sample, expected in [("-2 8\n", None), ("0 5\n", 0), ("2 8\n", 4)]:
            rc, out, err = run("summary", "-", "--format", "json", stdin=sample)
            self.assertEqual(rc, 0, err)
            self.assertEqual(json.loads(out)["measures"]["geometric_mean"], expected, sample)
        rc, out, _ = run("summary", "-", stdin="-2 8\n")
        self.assertIn("geometric mean", out)
        self.assertIn("undefined (no real root", out)

    def test_non_finite_values(self):
        rc, out, err = run("summary", "-", "--format", "json", "--missing", "skip",
                           stdin="1 inf nan -Infinity\n")
        self.assertEqual(rc, 0, err)
        self.assertIn("skipped 1 missing value", err)
        self.assertNotIn("NaN,", out.replace('"NaN"', ""))  # no bare NaN token
        measures = json.loads(out)["measures"]
        self.assertEqual(measures["count"], 3)
        self.assertEqual(measures["mean"], "NaN")
        rc, out, _ = run("summary", "-", "--format", "json", stdin="1 inf 3\n")
        measures = json.loads(out)["measures"]
        self.assertEqual(measures["maximum"], "Infinity")
        self.assertEqual(measures["mean"], "Infinity")

    def test_select_nothing(self):
        rc, out, err = run("select", "-", "--min", "100", "--max", "200", "--format", "json",
                           stdin=SAMPLE)
        self.assertEqual(rc, 1)
        self.assertIn("no value lies in the window", err)
        self.assertEqual(json.loads(out)["count"], 0)

    def test_sentinel_note(self):
        rc, out, err = run("classify", "-", "--method", "count", "--start", "0", "--classes", "3",
                           "--end", "999", stdin=SAMPLE)
        self.assertEqual(rc, 0, err)
        self.assertIn("--end 999 is the library's sentinel", err)
        self.assertIn("[6, 9]", out)  # the data maximum was used


LABELLED = ('"City","Rain, inches","Note"\n'
            '"Mobile",67,"wet"\n'
            '"Juneau",54.7,"say ""hi"""\n'
            '"Phoenix",7,\n'
            '"Zürich",NA,x\n'
            '"Bad\xff",7,y\n')


class CsvWithLabels(FileCase):
    def test_labels_in_member_lists(self):
        path = self.write("rain.csv", LABELLED.encode("latin-1", "replace")
                          .replace(b"Z?rich", "Zürich".encode()), mode="wb")
        args = ["classify", path, "--column", "Rain, inches", "--label", "City",
                "--missing", "skip", "--method", "equal", "--classes", "2", "--members"]
        rc, out, err = run_bytes(*args)
        self.assertEqual(rc, 0, err)
        text = out.decode("utf-8", "replace")
        self.assertIn("Phoenix", text)
        self.assertIn("column Rain, inches: 4 values (1 missing skipped)", text)
        self.assertIn(b"skipped 1 missing value", err)

        rc, out, _ = run_bytes(*args, "--format", "json")
        result = json.loads(out.decode("utf-8"))
        members = [(m["label"], m["row"], m["value"]) for c in result["classes"]
                   for m in c["members"]]
        self.assertEqual(sorted(members),
                         sorted([("Phoenix", 3, 7), ("Bad\ufffd", 5, 7), ("Juneau", 2, 54.7),
                                 ("Mobile", 1, 67)]))

        rc, out, _ = run_bytes(*args, "--format", "csv")
        rows = list(csv.DictReader(io.StringIO(out.decode("utf-8", "replace"))))
        self.assertEqual([r["label"] for r in rows if r["class"] == "2"], ["Juneau", "Mobile"])
        self.assertEqual({r["count"] for r in rows if r["class"] == "1"}, {"2"})

    def test_column_by_number_and_quoted_text(self):
        path = self.write("n.csv", 'who,"v"\n"a ""x""",1\nb,2\n')
        rc, out, err = run("select", path, "--column", "2", "--label", "1", "--min", "0",
                           "--max", "5", "--format", "csv")
        self.assertEqual(rc, 0, err)
        rows = list(csv.DictReader(io.StringIO(out)))
        self.assertEqual([(r["label"], r["value"]) for r in rows], [('a "x"', "1"), ("b", "2")])

    def test_byte_order_mark_and_crlf(self):
        path = self.write("w.csv", b'\xef\xbb\xbf"id","v"\r\n"a",1\r\nb, 2 \r\n', mode="wb")
        rc, out, err = run("select", path, "--column", "v", "--label", "id", "--min", "0",
                           "--max", "9", "--format", "json")
        self.assertEqual(rc, 0, err)
        members = json.loads(out)["members"]
        self.assertEqual([(m["label"], m["value"]) for m in members], [("a", 1), ("b", 2)])

    def test_numbers_read_as_header_are_noted(self):
        path = self.write("p.txt", "5\n6\n7\n")
        rc, out, err = run("summary", path, "--column", "1", "--format", "json")
        self.assertEqual(rc, 0, err)
        self.assertIn("read as the header", err)
        self.assertEqual(json.loads(out)["measures"]["count"], 2)

    def test_one_value_column_needs_no_column_option(self):
        path = self.write("one.csv", "height\n1.5\n2.5\n")
        rc, out, err = run("summary", path, "--format", "csv")
        self.assertEqual(rc, 0, err)
        values = dict(csv.reader(io.StringIO(out)))
        self.assertEqual(values["count"], "2")
        self.assertEqual(values["mean"], "2")


def expected_results(sample):
    """The library's own results, from the test helper program."""
    done = subprocess.run([EXPECT], input=sample, capture_output=True, text=True, check=True)
    results = {}
    for line in done.stdout.splitlines():
        key, *values = line.split()
        results[key] = values
    return results


def same(a, b):
    a, b = float(a), float(b)
    return (math.isnan(a) and math.isnan(b)) or (a == b and math.copysign(1, a) == math.copysign(1, b))


def number(value):
    return {"NaN": math.nan, "Infinity": math.inf, "-Infinity": -math.inf}.get(value, value)


class AgainstLibrary(unittest.TestCase):
    def test_summary(self):
        expected = expected_results(SAMPLE)
        rc, out, err = run("summary", "-", "--every", "2", "--format", "json", stdin=SAMPLE)
        self.assertEqual(rc, 0, err)
        result = json.loads(out)
        for key, value in result["measures"].items():
            if key == "count":
                self.assertEqual(value, 10)
                continue
            self.assertTrue(same(number(value), expected[key][0]), (key, value, expected[key]))
        self.assertEqual([float(v) for v in expected["every2"]], result["every"]["values"])

    def test_classes(self):
        expected = expected_results(SAMPLE)
        runs = {
            "equal": ["--classes", "3"],
            "step": ["--start", "0", "--step", "2"],
            "count": ["--start", "1", "--classes", "4", "--end", "9"],
            "stddev": ["--steps", "1", "--times", "0.5"],
            "stddev-window": ["--steps", "2", "--times", "1", "--min", "2"],
            "quantile": ["--classes", "3"],
            "natural": ["--classes", "3"],
            "breaks": ["--breaks", "1,2.5,5,9"],
            "pretty": ["--classes", "4"],
            "headtail": [],
            "box": ["--hinge", "1"],
            "maxbreaks": ["--classes", "3"],
            "percentile": ["--percentiles", "10,50,100"],
            "geometric": ["--classes", "3"],
            "natural-auto": ["--classes", "auto", "--gvf", "0.9", "--max-classes", "6"],
        }
        for method, options in runs.items():
            with self.subTest(method=method):
                self.assertEqual(expected[method + ".status"], ["1"])
                rc, out, err = run("classify", "-", "--method", method.split("-auto")[0],
                                   *options, "--format", "json", "--members", stdin=SAMPLE)
                self.assertEqual(rc, 0, err)
                result = json.loads(out)
                self.assertEqual([float(v) for v in expected[method + ".breaks"]],
                                 [float(number(b)) for b in result["breaks"]])
                self.assertEqual([int(v) for v in expected[method + ".counts"]],
                                 [c["count"] for c in result["classes"]])
                self.assertEqual([int(v) for v in expected[method + ".ids"]],
                                 [m["id"] for c in result["classes"] for m in c["members"]])
                values = SAMPLE.split()
                for c in result["classes"]:
                    for m in c["members"]:
                        self.assertEqual(m["value"], float(values[m["id"]]))
                        self.assertEqual(m["row"], m["id"] + 1)
                total = sum(c["count"] for c in result["classes"])
                self.assertEqual(result["unclassified"], 10 - total)
                fit = result["fit"]
                for key, value in zip(["sdam", "sdcm", "gvf", "adcm", "tai"],
                                      expected[method + ".fit"]):
                    self.assertTrue(same(number(fit[key]), value), (key, fit[key], value))

    def test_quantile_and_natural_close_the_last_class(self):
        for method in ["quantile", "natural"]:
            with self.subTest(method=method):
                rc, out, err = run("classify", "-", "--method", method, "--classes", "2",
                                   "--format", "json", "--missing", "skip",
                                   stdin="5 1 5 nan 3\n")
                self.assertEqual(rc, 0, err)
                result = json.loads(out)
                self.assertTrue(result["classes"][-1]["upper_included"])
                self.assertEqual(result["breaks"][-1], 5)
                self.assertEqual(result["unclassified"], 0)  # the NaN is missing

    def test_closing_rule_shown(self):
        rc, out, _ = run("classify", "-", "--method", "equal", "--classes", "2", "--format", "json",
                         "--members", stdin="4 1 3 2 5\n")
        classes = json.loads(out)["classes"]
        self.assertEqual([c["upper_included"] for c in classes], [False, True])
        self.assertEqual([m["id"] for m in classes[1]["members"]], [2, 0, 4])

    def test_select(self):
        expected = expected_results(SAMPLE)
        rc, out, err = run("select", "-", "--min", "2", "--max", "5", "--format", "json",
                           stdin=SAMPLE)
        self.assertEqual(rc, 0, err)
        self.assertEqual([int(v) for v in expected["select.ids"]],
                         [m["id"] for m in json.loads(out)["members"]])


class Layouts(unittest.TestCase):
    """The shapes of the text and CSV outputs that readers and scripts rely on."""

    SAMPLE = "1 1 1 1 2 9\n"  # equal, 3 classes: counts 5, 0, 1

    def test_text_rows_bars_and_members(self):
        rc, out, err = run("classify", "-", "--method", "equal", "--classes", "3", "--members",
                           stdin=self.SAMPLE)
        self.assertEqual(rc, 0, err)
        rows = [line for line in out.splitlines() if line[:5].strip().isdigit()]
        self.assertEqual(len(rows), 3)
        self.assertTrue(rows[0].endswith("5  " + "#" * 40), rows[0])
        self.assertTrue(rows[1].endswith(" 0  "), rows[1])
        self.assertTrue(rows[2].endswith(" 1  " + "#" * 8), rows[2])
        # The exact breaks above the table; in it the library's labels: the
        # whole numbers a class can hold, a class of one value by that value.
        self.assertIn("\nBreaks 1, 3.6666666666666665, 6.333333333333333, 9\n", out)
        self.assertIn("  [1, 3]  ", rows[0])
        self.assertIn("  [4, 6] (empty)  ", rows[1])
        self.assertIn("  9  ", rows[2])
        self.assertIn("Class 3, 9: 1 member\n    row 6  9\n", out)
        fit = dict(line.split()[:2] for line in out.splitlines()
                   if line.startswith(("GVF ", "ADCM ")))
        self.assertAlmostEqual(float(fit["GVF"]), 1 - 0.8 / 51.5, places=15)
        self.assertEqual(fit["ADCM"], "1")
        rc, out, _ = run("classify", "-", "--method", "equal", "--classes", "3",
                         stdin=self.SAMPLE)
        self.assertNotIn("Class 1", out)
        self.assertNotIn("row 6", out)

    def test_csv_keeps_empty_classes(self):
        rc, out, _ = run("classify", "-", "--method", "equal", "--classes", "3", "--format", "csv",
                         "--members", stdin=self.SAMPLE)
        rows = list(csv.DictReader(io.StringIO(out)))
        self.assertEqual([r["class"] for r in rows], ["1"] * 5 + ["2", "3"])
        self.assertEqual((rows[5]["count"], rows[5]["id"], rows[5]["value"]), ("0", "", ""))
        self.assertEqual(rows[6]["upper_included"], "true")
        rc, out, _ = run("classify", "-", "--method", "equal", "--classes", "3", "--format", "csv",
                         stdin=self.SAMPLE)
        rows = list(csv.DictReader(io.StringIO(out)))
        self.assertEqual([r["count"] for r in rows], ["5", "0", "1"])
        self.assertEqual({r["id"] for r in rows}, {""})
        # The fit of the whole classification ends every row: class means 1.2
        # and 9 leave 0.8 of the 51.5 squared deviations from the mean 2.5.
        fits = {(r["gvf"], r["adcm"]) for r in rows}
        self.assertEqual(len(fits), 1)
        gvf, adcm = fits.pop()
        self.assertAlmostEqual(float(gvf), 1 - 0.8 / 51.5, places=15)
        self.assertEqual(adcm, "1")

    def test_members_listed_only_when_asked(self):
        # classify: no member lists without --members, in any format; select
        # lists its values unless --no-members says otherwise.
        classify = ["classify", "-", "--method", "equal", "--classes", "3", "--format", "json"]
        rc, out, _ = run(*classify, stdin=self.SAMPLE)
        self.assertTrue(all("members" not in c for c in json.loads(out)["classes"]))
        rc, out, _ = run(*classify, "--members", stdin=self.SAMPLE)
        self.assertEqual([len(c["members"]) for c in json.loads(out)["classes"]], [5, 0, 1])
        select = ["select", "-", "--min", "1", "--max", "5", "--no-members"]
        rc, out, _ = run(*select, "--format", "json", stdin=self.SAMPLE)
        self.assertEqual((json.loads(out)["count"], "members" in json.loads(out)), (5, False))
        rc, out, _ = run(*select, "--format", "csv", stdin=self.SAMPLE)
        self.assertEqual(out, "min,max,count\n1,5,5\n")
        rc, out, _ = run(*select, stdin=self.SAMPLE)
        self.assertNotIn("row 1", out)
        rc, out, _ = run(*select, "--members", stdin=self.SAMPLE)
        self.assertIn("row 1", out)

    def test_summary_csv_with_every(self):
        rc, out, _ = run("summary", "-", "--every", "4", "--format", "csv", stdin="5 3 1 4 2 6\n")
        rows = dict(csv.reader(io.StringIO(out)))
        self.assertEqual(rows["measure"], "value")
        self.assertEqual((rows["sorted_value_1"], rows["sorted_value_5"]), ("1", "5"))
        self.assertEqual(rows["median"], "3.5")
        rc, out, _ = run("summary", "-", "--every=3", stdin="5 3 1 4 2 6\n")
        self.assertIn("Every 3rd sorted value (2):", out)

    def test_csv_from_standard_input(self):
        rc, out, err = run("summary", "-", "--column", "b", "--format", "json",
                           stdin="a,b\nx,2\ny,4\n")
        self.assertEqual(rc, 0, err)
        result = json.loads(out)
        self.assertEqual(result["source"]["file"], "standard input")
        self.assertEqual(result["measures"]["mean"], 3)


class Svg(FileCase):
    def test_histogram_is_well_formed(self):
        data = self.write("d.txt", SAMPLE + " inf\n")
        picture = os.path.join(self.dir.name, "h.svg")
        rc, out, err = run("classify", data, "--method", "count", "--start", "0",
                           "--classes", "3", "--end", "9", "--svg", picture)
        self.assertEqual(rc, 0, err)
        root = ET.parse(picture).getroot()
        self.assertEqual(root.tag, "{http://www.w3.org/2000/svg}svg")
        ns = {"s": "http://www.w3.org/2000/svg"}
        texts = [t.text or "" for t in root.iterfind(".//s:text", ns)]
        # A legend line per class, one for the values in no class, axis labels.
        self.assertEqual([t for t in texts if t.endswith(")") and "  (" in t],
                         ["[0, 3)  (5)", "[3, 6)  (3)", "7.5  (1)", "in no class  (2)"])
        self.assertTrue(any(t.startswith("in no class") for t in texts))
        self.assertIn("value", texts)
        self.assertTrue(any(t.startswith("number of values per bin") for t in texts))
        self.assertTrue(any("not finite" for t in texts))
        dashed = [l for l in root.iterfind(".//s:line", ns) if l.get("stroke-dasharray")]
        self.assertEqual(len(dashed), 4)  # breaks 3, 6 and 9, and the legend's sample

    def test_natural_breaks_histogram(self):
        data = self.write("d.txt", "1 2 3 10 11 12 30\n")
        picture = os.path.join(self.dir.name, "n.svg")
        rc, out, err = run("classify", data, "--method", "natural", "--classes", "3",
                           "--svg", picture)
        self.assertEqual(rc, 0, err)
        root = ET.parse(picture).getroot()
        ns = {"s": "http://www.w3.org/2000/svg"}
        texts = [t.text or "" for t in root.iterfind(".//s:text", ns)]
        self.assertTrue(any("method natural" in t for t in texts))
        self.assertEqual([t for t in texts if t.endswith(")") and "  (" in t],
                         ["[1, 9]  (3)", "[10, 29]  (3)", "30  (1)"])
        self.assertIn("Breaks 1, 10, 30, 30\n", out)

    def test_escaped_title_and_one_value(self):
        path = self.write("t.csv", 'who,"a<b & c"\nx,5\ny,5\n')
        picture = os.path.join(self.dir.name, "h.svg")
        rc, _, err = run("classify", path, "--column", "a<b & c", "--method", "equal",
                         "--classes", "3", "--svg", picture)
        self.assertEqual(rc, 0, err)
        ET.parse(picture)


class Legends(FileCase):
    STATES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples",
                          "us_states_1977.csv")

    def classify(self, *args):
        rc, out, err = run("classify", *args, "--format", "json", "--members")
        self.assertEqual(rc, 0, err)
        return json.loads(out)

    def test_round_breaks_keep_the_classes(self):
        args = [self.STATES, "--column", "Income", "--method", "natural", "--classes", "4"]
        exact, rounded = self.classify(*args), self.classify(*args, "--round")
        self.assertEqual((exact["rounded"], rounded["rounded"]), (False, True))
        self.assertEqual(exact["breaks"], [3098, 4091, 4751, 6315, 6315])
        self.assertEqual(rounded["breaks"], [3000, 4090, 4750, 6000, 6315])
        for c in exact, rounded:
            self.assertEqual([c["count"] for c in c["classes"]], [14, 20, 15, 1])
        self.assertEqual([[m["id"] for m in c["members"]] for c in exact["classes"]],
                         [[m["id"] for m in c["members"]] for c in rounded["classes"]])
        self.assertEqual([c["label"] for c in rounded["classes"]],
                         ["[3000, 4089]", "[4090, 4749]", "[4750, 5999]", "6315"])
        # The open outer classes of the standard-deviation classes stay open.
        std = self.classify(self.STATES, "--column", "Murder", "--method", "stddev", "--steps", "1",
                            "--times", "1", "--round")
        self.assertEqual(std["breaks"][1:4], [4, 7.4, 11.1])
        self.assertEqual([c["label"] for c in std["classes"]],
                         ["(-inf, 4.0)", "[4.0, 7.4)", "[7.4, 11.1)", "[11.1, inf)"])

    def test_pooled_columns_share_one_set_of_breaks(self):
        path = self.write("years.csv", "place,y1,y2\na,1,5\nb,2,6\nc,3,NA\nd,4,8\n")
        result = self.classify(path, "--column", "y1", "--column", "y2", "--label", "place",
                               "--method", "equal", "--classes", "2", "--missing", "skip")
        self.assertEqual(result["source"]["column"], "y1, y2")
        self.assertEqual(result["breaks"], [1, 4.5, 8])
        self.assertEqual([c["pooled_counts"] for c in result["classes"]],
                         [{"y1": 4, "y2": 0}, {"y1": 0, "y2": 3}])
        members = result["classes"][1]["members"]
        self.assertEqual([(m["label"], m["column"], m["value"]) for m in members],
                         [("a", "y2", 5), ("b", "y2", 6), ("d", "y2", 8)])
        rc, out, _ = run("classify", path, "--column", "y1", "--column", "y2", "--method", "equal",
                         "--classes", "2", "--missing", "skip", "--format", "csv", "--members")
        rows = list(csv.DictReader(io.StringIO(out)))
        self.assertEqual([(r["class_label"], r["column"], r["row"]) for r in rows[3:5]],
                         [("[1, 4]", "y1", "4"), ("[5, 8]", "y2", "1")])
        rc, out, _ = run("classify", path, "--column", "y1", "--column", "y2", "--method", "equal",
                         "--classes", "2", "--missing", "skip", "--members")
        lines = [line.split() for line in out.splitlines()]
        self.assertIn(["class", "label", "y1", "y2", "count"], lines)
        self.assertIn(["2", "[5,", "8]", "0", "3", "3", "#" * 30], lines)
        self.assertIn("row 4 (y2)", out)


class Cases(unittest.TestCase):
    """The table of cases every binding runs (tests/cases/missing_values.json)."""

    TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "cases",
                         "missing_values.json")
    FLAGS = {"k": "--classes", "share": "--head-share", "steps": "--steps", "times": "--times"}

    @staticmethod
    def text(values):
        return " ".join("NaN" if v is None else str(v) for v in values) + "\n"

    def test_classes(self):
        with open(self.TABLE) as f:
            table = json.load(f)
        for case in table["classify"]:
            with self.subTest(case["name"]):
                args = ["classify", "-", "--method", case["method"], "--format", "json", "--members"]
                for key, flag in self.FLAGS.items():
                    if key in case:
                        args += [flag, repr(case[key])]
                missing = sum(v is None for v in case["values"])
                if missing:  # refused without --missing skip
                    rc, _, err = run(*args, stdin=self.text(case["values"]))
                    self.assertEqual(rc, 4)
                    self.assertIn("missing value (empty, NA or NaN)", err)
                rc, out, err = run(*args, "--missing", "skip", stdin=self.text(case["values"]))
                if "error" in case:
                    self.assertEqual(rc, 5 if "missing" in case["error"] else 7, err)
                    if rc == 7:
                        self.assertIn(case["error"], err)
                    continue
                self.assertEqual(rc, 0, err)
                result = json.loads(out)
                self.assertEqual([number(b) for b in result["breaks"]], case["breaks"])
                self.assertEqual([c["count"] for c in result["classes"]], case["counts"])
                labels = [-1] * len(case["values"])
                for s, c in enumerate(result["classes"]):
                    for member in c["members"]:
                        labels[member["row"] - 1] = s
                self.assertEqual(labels, case["labels"])
                self.assertEqual(result["source"]["missing_skipped"], case["missing"])
                self.assertEqual(result["unclassified"], case["unclassified"])
                self.assertEqual("in no class" in err, case["unclassified"] > 0, err)
                self.assertEqual(" no value" in err, case["empty"] > 0, err)

    def test_summaries(self):
        with open(self.TABLE) as f:
            table = json.load(f)
        for case in table["summary"]:
            with self.subTest(case["name"]):
                rc, out, err = run("summary", "-", "--format", "json", "--missing", "skip",
                                   stdin=self.text(case["values"]))
                self.assertEqual(rc, 0, err)
                measures = json.loads(out)["measures"]
                for key in ("count", "mean", "median"):
                    if key in case:
                        self.assertEqual(number(measures[key]), case[key], key)
                if case["geometric_mean"] is None:
                    self.assertIsNone(measures["geometric_mean"])
                    self.assertIn("product of the values is negative", err)
                else:
                    self.assertAlmostEqual(number(measures["geometric_mean"]),
                                           case["geometric_mean"], places=12)


class Help(unittest.TestCase):
    def test_pages(self):
        rc, out, _ = run("--help")
        self.assertEqual(rc, 0)
        for code in range(0, 9):
            self.assertIn("\n    %d   " % code, out)
        for command in ["summary", "classify", "select"]:
            for args in [[command, "--help"], ["help", command]]:
                rc, page, _ = run(*args)
                self.assertEqual(rc, 0)
                for heading in ["NAME", "SYNOPSIS", "DESCRIPTION", "EXAMPLE"]:
                    self.assertIn(heading + "\n", page)
        _, page, _ = run("classify", "--help")
        self.assertIn("999", page)
        for method in ["equal", "step", "count", "stddev", "stddev-window", "quantile", "natural",
                       "breaks", "pretty", "maxbreaks", "percentile", "geometric"]:
            self.assertIn("\n    " + method + " --", page)
        for method in ["headtail [--head-share S]", "box [--hinge H]"]:
            self.assertIn("\n    " + method + "\n", page)


if __name__ == "__main__":
    args = sys.argv[1:]
    MENSORA = args[args.index("--mensora") + 1]
    EXPECT = args[args.index("--expect") + 1]
    rest = [a for i, a in enumerate(args)
            if a not in ("--mensora", "--expect") and (i == 0 or args[i - 1] not in ("--mensora", "--expect"))]
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=1)
