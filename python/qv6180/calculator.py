"""The chip's divider worked out with the evaluation program's formulas, on
numbers in volts, ohms and amperes. What the program would correct or refuse,
or a result beyond the floats, raises :class:`ksthid.InvalidArgument` (a
ValueError) with the library's words."""

from __future__ import annotations

from ctypes import byref, c_double
from typing import List, NamedTuple, Tuple

import ksthid

from ._library import StandardPairEntry, error_text, kStandardPairsMax, library
from .chip import checked_dvr


class StandardPair(NamedTuple):
    """A divider of standard resistor values and the range it gives; the error
    is the larger deviation of its two ends from the wanted ones."""

    series: str  # "E24", "E96" or "E192"
    r1: float
    r2: float
    vout_max: float
    vout_min: float
    error_mv: float
    error_percent: float


def _computed(code: int) -> None:
    if code < 0:
        error = ksthid.InvalidArgument(error_text(code))
        error.code = code
        raise error


def _results(function, *arguments: float, count: int) -> Tuple[float, ...]:
    values = [c_double() for _ in range(count)]
    _computed(function(*arguments, *(byref(value) for value in values)))
    return tuple(value.value for value in values)


def range_from_resistors(avdd: float, rset: float, r1: float, r2: float) -> Tuple[float, float]:
    """``(vout_max, vout_min)``: VCOM at DVR 0 and at DVR 255."""
    return _results(library.qv6180_range_from_resistors, avdd, rset, r1, r2, count=2)


def resistors_from_range(
    avdd: float, rset: float, vout_max: float, vout_min: float
) -> Tuple[float, float]:
    """``(r1, r2)`` that give the range ``vout_max`` (DVR 0) to ``vout_min``
    (DVR 255)."""
    return _results(library.qv6180_resistors_from_range, avdd, rset, vout_max, vout_min, count=2)


def readouts(avdd: float, rset: float, r1: float, r2: float, dvr: int) -> Tuple[float, float, float]:
    """``(vcom, iout, vrset)`` at a DVR value (0 to 255)."""
    return _results(library.qv6180_readouts, avdd, rset, r1, r2, checked_dvr("dvr", dvr), count=3)


def standard_pairs(
    avdd: float, rset: float, vout_max: float, vout_min: float
) -> List[StandardPair]:
    """The pairs of E24, E96 and E192 values nearest to the R1 and R2 of the
    wanted range, best first; none when a resistor lies beyond 1 ohm to 10
    Mohm."""
    entries = (StandardPairEntry * kStandardPairsMax)()
    found = library.qv6180_standard_pairs(avdd, rset, vout_max, vout_min, entries, len(entries))
    _computed(found)
    return [
        StandardPair(
            f"E{entry.series}",
            entry.r1,
            entry.r2,
            entry.vout_max,
            entry.vout_min,
            entry.error_mv,
            entry.error_percent,
        )
        for entry in entries[:found]
    ]
