"""The table of cases every binding runs (tests/cases/missing_values.json), in
memory and through Dask."""
import json
import math
import re
import warnings

import numpy as np
import pytest

import mensora
from conftest import ROOT, same_bits

TABLE = json.loads((ROOT / "tests" / "cases" / "missing_values.json").read_text())
SCHEMES = {"equal": "equal_interval", "quantile": "quantiles", "natural": "natural_breaks",
           "pretty": "pretty", "headtail": "head_tail", "stddev": "std_mean"}
OPTIONS = {"k": "k", "share": "head_share", "steps": "steps", "times": "times"}


def values_of(case):
    return np.array([math.nan if v is None else float(v) for v in case["values"]])


def call(case):
    return SCHEMES[case["method"]], {OPTIONS[key]: case[key] for key in OPTIONS if key in case}


def notes_warned(caught):
    texts = [str(w.message) for w in caught if issubclass(w.category, RuntimeWarning)]
    return (sum("in no class" in t for t in texts), sum(" no value" in t for t in texts))


def expect_classes(classify, case, exact=True, error=None):
    scheme, options = call(case)
    if "error" in case:
        with pytest.raises(ValueError, match=error or re.escape(case["error"])):
            classify(values_of(case), scheme, **options)
        return None
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        got = classify(values_of(case), scheme, **options)
    if exact:
        assert same_bits(got.breaks, case["breaks"])
    else:
        np.testing.assert_allclose(got.breaks, case["breaks"], rtol=1e-12)
    assert got.counts.tolist() == case["counts"] and got.n_missing == case["missing"]
    # One warning for each kind of note.
    assert notes_warned(caught) == (int(case["unclassified"] > 0), int(case["empty"] > 0))
    return got


@pytest.mark.parametrize("case", TABLE["classify"], ids=lambda c: c["name"])
def test_classes_in_memory(case):
    got = expect_classes(mensora.classify, case)
    if got is not None:
        assert got.yb.tolist() == case["labels"]
        assert f"({case['missing']} missing left out)" in repr(got) or not case["missing"]


@pytest.mark.parametrize("case", TABLE["classify"], ids=lambda c: c["name"])
def test_classes_through_dask(case):
    da = pytest.importorskip("dask.array")
    import mensora.dask as md

    def classify(values, scheme, **options):
        return md.classify(da.from_array(values, chunks=2), scheme, **options)

    # A Dask collection has its own limit on k, 2^20 whatever its size.
    limit = "at most 1048576 for a Dask collection" if "limit" in case["name"] else None
    got = expect_classes(classify, case, case["method"] not in ("stddev", "headtail"), limit)
    if got is not None:
        assert got.yb.compute().tolist() == case["labels"] and got.outside == case["unclassified"]


@pytest.mark.parametrize("case", TABLE["summary"], ids=lambda c: c["name"])
def test_summary(case):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        got = mensora.summary([None if v is None else v for v in case["values"]])
    for key in ("count", "missing", "mean", "median"):
        if key in case:
            assert got[key] == case[key], key
    if case["geometric_mean"] is None:
        assert math.isnan(got["geometric_mean"])
        assert [str(w.message) for w in caught] == [
            "mensora.summary: geometric mean: no real geometric mean: the product of the values "
            "is negative"]
    else:
        assert got["geometric_mean"] == pytest.approx(case["geometric_mean"]) and not caught


def test_pandas_missing_values():
    pd = pytest.importorskip("pandas")
    objects = pd.Series([1.0, pd.NA, 4.0, None], dtype=object)
    got = mensora.classify(objects, "quantiles", k=2)
    assert got.yb.tolist() == [0, -1, 1, -1] and got.n_missing == 2
    assert mensora.summary(pd.Series([1, None, 4], dtype="Int64"))["missing"] == 1
