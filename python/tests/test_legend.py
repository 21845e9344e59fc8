"""Legends and breaks reused: round breaks, labels, classes of other values,
pooled classes over several columns, maps."""
import ctypes
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np
import pandas as pd
import pytest

import mensora
from conftest import ROOT, SAMPLES, run_tool, same_bits

# Values in no class and empty classes are told, and beside the point here.
pytestmark = pytest.mark.filterwarnings("ignore:.*(in no class|no value):RuntimeWarning")


def test_pooled_columns_share_the_breaks_of_all_their_values():
    income, murder = SAMPLES["income"](), SAMPLES["murder"]()
    frame = pd.DataFrame({"income": income / 1000, "murder": murder})
    pooled = mensora.classify_pooled(frame, "quantiles", k=4)
    whole = mensora.classify(np.concatenate([income / 1000, murder]), "quantiles", k=4)
    assert list(pooled) == ["income", "murder"]
    assert np.array_equal(pooled["income"].yb, whole.yb[:50])
    assert np.array_equal(pooled["murder"].yb, whole.yb[50:])
    for c in pooled.values():
        assert np.array_equal(c.breaks, whole.breaks) and c.closed_last == whole.closed_last
        assert np.array_equal(c.counts, np.bincount(c.yb[c.yb >= 0], minlength=4))
    assert np.array_equal(pooled["income"].counts + pooled["murder"].counts, whole.counts)
    assert pooled["murder"].labels() == whole.labels()
    rounded = pooled["murder"].rounded()
    assert np.array_equal(rounded.yb, whole.yb[50:])
    assert np.array_equal(rounded.breaks, whole.rounded().breaks)
    # Columns of different lengths, as a list; the open outer classes of std_mean.
    years = mensora.classify_pooled([[1.0, 2.0, 9.0], [3.0]], "std_mean")
    assert [list(c.yb) for c in years] == [[1, 1, 3], [1]]
    assert not years[0].closed_last


def test_pooled_input_errors():
    with pytest.raises(ValueError):
        mensora.classify_pooled([], "quantiles", k=2)
    with pytest.raises(TypeError):
        mensora.classify_pooled("abc", "quantiles", k=2)


SCHEMES_K = [("equal_interval", {"k": 4}), ("quantiles", {"k": 5}), ("natural_breaks", {"k": 4}),
             ("std_mean", {"steps": 2, "times": 0.5}), ("pretty", {"k": 4}),
             ("head_tail", {}), ("box_plot", {}), ("max_breaks", {"k": 5}), ("percentiles", {}),
             ("start_step", {"start": 0.0, "step": 7.0, "end": 40.0})]


@pytest.mark.parametrize("sample", ["income", "murder", "ozone", "random-1000", "random-57-nan"])
def test_find_bin_and_round_breaks_keep_every_class(sample):
    values = SAMPLES[sample]()
    for scheme, options in SCHEMES_K:
        c = mensora.classify(values, scheme, **options)
        assert np.array_equal(c.find_bin(values), c.yb), scheme
        r = c.rounded()
        assert np.array_equal(r.yb, c.yb) and np.array_equal(r.counts, c.counts), scheme
        assert np.array_equal(r.find_bin(values), c.yb), scheme
        assert r.labels() == mensora.classify(values, scheme, round=True, **options).labels()
        assert r.rounded() is r


def test_labels_and_find_bin_on_known_values():
    income = SAMPLES["income"]()
    c = mensora.classify(income, "natural_breaks", k=4, round=True)
    assert c.counts.tolist() == [14, 20, 15, 1]
    assert c.breaks.tolist() == [3000, 4090, 4750, 6000, 6315]
    assert c.labels() == ["3000 - 4089", "4090 - 4749", "4750 - 5999", "6315"]
    assert "    0  3000 - 4089     14" in repr(c).splitlines()
    exact = mensora.classify(income, "natural_breaks", k=4)
    assert exact.labels(thousands=True)[0] == "3,098 - 4,090"
    assert exact.labels(interval=True)[0] == "[3098, 4090]"
    # Labels, made when first asked for, are those of the values classified.
    values = income.copy()
    later = mensora.classify(values, "natural_breaks", k=4)
    values[:] = 0.0
    assert later.labels(thousands=True) == exact.labels(thousands=True)
    s = mensora.classify(income, "std_mean")
    assert s.labels()[0].endswith("or less") and s.labels()[-1].endswith("or more")
    assert s.find_bin([-1e300, None, np.nan, 1e300]).tolist() == [0, -1, -1, 3]
    assert c.find_bin(c.breaks[1]) == 1 and c.find_bin(2999.0) == -1


@pytest.mark.parametrize("sample", ["income", "ozone", "random-57-nan"])
def test_labels_when_asked_for_are_those_of_the_handle(sample):
    # Written later from what classify keeps: the text the library writes
    # for the handle's result, for every scheme, style and rounding.
    from mensora import _classes, _native

    text = _native.lib.mensora_class_labels_text
    text.restype = ctypes.c_int
    text.argtypes = [ctypes.c_void_p, ctypes.c_int32, ctypes.c_int32, ctypes.c_char_p,
                     ctypes.c_int32, ctypes.POINTER(ctypes.c_int32)]
    values = SAMPLES[sample]()
    for scheme, options in SCHEMES_K:
        for round_breaks in (False, True):
            c = mensora.classify(values, scheme, round=round_breaks, **options)
            name, entry = _classes.scheme_named(scheme)
            k = options.get("k")
            with _native.Sample(values) as s:
                _classes._classified(entry, s, k, _classes.scheme_options(name, entry, {
                    o: v for o, v in options.items() if o != "k"}), "test", round_breaks)
                for flags, (interval, thousands) in enumerate([(0, 0), (1, 0), (0, 1), (1, 1)]):
                    buffer, needed = ctypes.create_string_buffer(4096), ctypes.c_int32()
                    assert text(s.handle, int(entry.last == "open"), flags, buffer, 4096,
                                ctypes.byref(needed)) == 0
                    expected = buffer.value.decode().split("\n")
                    assert c.labels(interval, thousands) == expected, (scheme, round_breaks)


def test_round_breaks_and_labels_are_the_tool_s():
    for sample in ("income", "murder", "area", "random-1000"):
        values = SAMPLES[sample]()
        for scheme, options, args in [
                ("natural_breaks", {"k": 4}, ["--method", "natural", "--classes", "4"]),
                ("std_mean", {}, ["--method", "stddev", "--steps", "1", "--times", "1"]),
                ("quantiles", {"k": 5}, ["--method", "quantile", "--classes", "5"]),
                ("equal_interval", {"k": 3}, ["--method", "equal", "--classes", "3"])]:
            for extra, round_breaks in (([], False), (["--round"], True)):
                out = run_tool(values, "classify", *args, *extra)
                got = mensora.classify(values, scheme, round=round_breaks, **options)
                what = (sample, scheme, extra)
                assert same_bits(got.breaks, [float(b) for b in out["breaks"]]), what
                assert [c["label"] for c in out["classes"]] == got.labels(interval=True), what


def test_plot_writes_a_map():
    geopandas = pytest.importorskip("geopandas")
    pytest.importorskip("matplotlib")
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    counties = geopandas.read_file(ROOT / "examples" / "north_carolina_counties.geojson")
    rate = (1000 * counties["SID74"] / counties["BIR74"]).to_numpy()
    rate[[0, 5]] = np.nan
    c = mensora.classify(rate, "quantiles", k=4, round=True)
    fig, ax = plt.subplots()
    assert c.plot(counties, ax=ax, title="SIDS") is ax
    texts = [t.get_text() for t in ax.get_legend().get_texts()]
    assert texts[:4] == [f"{label}  ({n})" for label, n in zip(c.labels(), c.counts)]
    assert texts[4].endswith("(2)") and len(texts) == 5
    with pytest.raises(ValueError, match="rows"):
        c.plot(counties.iloc[:10])
    plt.close("all")
    with tempfile.TemporaryDirectory() as folder:
        path = Path(folder) / "map.png"
        subprocess.run([sys.executable, str(ROOT / "python" / "examples" / "map_classes.py"),
                        str(path)], check=True, capture_output=True, timeout=300)
        assert path.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"
