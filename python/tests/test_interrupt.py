"""Ctrl-C stops a long call and leaves the package working."""
import os
import signal
import threading

import numpy as np
import pytest

import mensora


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
