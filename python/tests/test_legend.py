"""Legends and breaks reused: pooled classes over several columns."""
import numpy as np
import pandas as pd
import pytest

import mensora
from conftest import bundled


def test_pooled_columns_share_the_breaks_of_all_their_values():
    income, murder = bundled("us_states_1977.csv", "Income"), bundled("us_states_1977.csv", "Murder")
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
    # Columns of different lengths, as a list; the open outer classes of std_mean.
    years = mensora.classify_pooled([[1.0, 2.0, 9.0], [3.0]], "std_mean")
    assert [list(c.yb) for c in years] == [[1, 1, 3], [1]]
    assert not years[0].closed_last


def test_pooled_input_errors():
    with pytest.raises(ValueError):
        mensora.classify_pooled([], "quantiles", k=2)
    with pytest.raises(TypeError):
        mensora.classify_pooled("abc", "quantiles", k=2)
