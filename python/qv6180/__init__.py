"""The QV6180 VCOM calibrator on its evaluation board, from Python.

A thin layer over libqv6180 with ctypes, on boards opened by :mod:`ksthid`::

    import ksthid, qv6180

    with qv6180.Chip(ksthid.open(0)) as chip:   # or qv6180.Chip(0)
        chip.send(0xA0)                         # the register at 160
        chip.step(0xA0, 0xA2)                   # from a value known to be there
        chip.send(0xA2)
        chip.store()                            # into the chip's EEPROM

    vout_max, vout_min = qv6180.range_from_resistors(18, 10000, 24900, 39200)

Failures raise the :mod:`ksthid` exceptions. Set QV6180_LIBRARY to the
library's file (or its folder) to use a library other than the installed one.
"""

from . import _library
from .calculator import (
    StandardPair,
    range_from_resistors,
    readouts,
    resistors_from_range,
    standard_pairs,
)
from .chip import Chip, send_calls, step_calls

__version__ = _library.library.qv6180_version().decode()
# The DVR register's range.
DVR_MIN, DVR_MAX = _library.kDvrRange

__all__ = [
    "Chip",
    "DVR_MAX",
    "DVR_MIN",
    "StandardPair",
    "range_from_resistors",
    "readouts",
    "resistors_from_range",
    "send_calls",
    "standard_pairs",
    "step_calls",
]
