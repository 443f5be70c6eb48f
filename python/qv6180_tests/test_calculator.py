"""The divider from Python: the figures qv6180 calc and the window show."""

import math

import ksthid
import pytest

import qv6180


def test_the_start_up_divider_gives_the_windows_figures():
    vout_max, vout_min = qv6180.range_from_resistors(18, 10000, 24900, 39200)
    assert (f"{vout_max:.3f}", f"{vout_min:.3f}") == ("11.002", "9.637")
    vcom, iout, vrset = qv6180.readouts(18, 10000, 24900, 39200, 0xA0)
    assert (f"{vcom:.3f}", f"{iout:.5f}", f"{vrset:.3f}") == ("10.146", "0.00006", "0.562")
    r1, r2 = qv6180.resistors_from_range(18, 10000, 12, 10)
    assert (f"{r1:.1f}", f"{r2:.1f}") == ("33442.2", "67015.7")


def test_standard_pairs_come_best_first_with_their_series():
    pairs = qv6180.standard_pairs(18, 10000, 7, 3.5)
    assert pairs[0][:3] == ("E192", 100000, 64200)
    assert [p.error_mv for p in pairs] == sorted(p.error_mv for p in pairs)


@pytest.mark.parametrize(
    "call, words",
    [
        (lambda: qv6180.range_from_resistors(0, 10000, 1, 1), "AVDD"),
        (lambda: qv6180.range_from_resistors(18, math.nan, 1, 1), "Rset"),
        (lambda: qv6180.range_from_resistors(18, 10000, 1e300, 1e300), "no VCOM above 0 V"),
        (lambda: qv6180.readouts(18, 10000, 24900, -1, 3), "R2"),
        (lambda: qv6180.resistors_from_range(18, 10000, 19, 3), "exceed AVDD"),
        (lambda: qv6180.resistors_from_range(18, 10000, 5, 5), "lower than VOUTmax"),
        (lambda: qv6180.standard_pairs(18, 1e305, 0, -1), "too large or too small"),
    ],
)
def test_inputs_the_window_would_correct_raise_instead_of_giving_numbers(call, words):
    with pytest.raises(ksthid.InvalidArgument, match=words):
        call()
