"""Ctrl-C stops a long call and leaves the package working."""
import os
import signal
import threading

import numpy as np
import pytest

import mensora
from mensora import _native


@pytest.mark.skipif(not hasattr(signal, "SIGINT") or os.name != "posix", reason="POSIX signals")
@pytest.mark.parametrize("call", [
    lambda y: mensora.natural_breaks(y, 20),
    lambda y: mensora.classify(y, "natural_breaks", k=20),
])
def test_ctrl_c_stops_a_long_natural_breaks_call(call):
    y = np.random.default_rng(3).lognormal(size=1_000_000)
    timer = threading.Timer(0.2, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            call(y)
    finally:
        timer.join()
    assert signal.getsignal(signal.SIGINT) is signal.default_int_handler
    small = y[:2000]
    assert np.array_equal(mensora.natural_breaks(small, 5), mensora.natural_breaks(small.copy(), 5))


def test_only_the_calls_that_poll_listen(monkeypatch):
    assert set(_native._POLLING) <= set(_native._SIGNATURES)
    assert id(_native.lib.mensora_natural_breaks) not in _native.QUIET
    y = np.random.default_rng(4).lognormal(size=100_000)
    handlers = []
    real = signal.signal
    monkeypatch.setattr(signal, "signal", lambda *a: handlers.append(a[1]) or real(*a))
    mensora.quantile_breaks(y, 5)
    mensora.classify(y, "quantiles", k=5)
    assert handlers == []
    mensora.natural_breaks(y, 5)
    assert len(handlers) == 2
