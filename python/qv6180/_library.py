"""Loads libqv6180 and declares its C interface (qv6180.h) for ctypes. The
library drives boards opened by ksthid, so ksthid is loaded first: both then
share the one ksthid library of the process."""

from __future__ import annotations

import ctypes
from ctypes import CFUNCTYPE, POINTER, c_char_p, c_double, c_int, c_void_p

import ksthid  # noqa: F401 - loads the ksthid library before libqv6180 needs it
from ksthid._loading import load

kLibraryVariable = "QV6180_LIBRARY"

# As qv6180.h defines them.
kDvrRange = (0, 255)
kStandardPairsMax = 9
kStopped = -32


class StandardPairEntry(ctypes.Structure):
    _fields_ = [
        ("series", c_int),
        ("r1", c_double),
        ("r2", c_double),
        ("vout_max", c_double),
        ("vout_min", c_double),
        ("error_mv", c_double),
        ("error_percent", c_double),
    ]


Progress = CFUNCTYPE(c_int, c_int, c_int, c_void_p)
_DOUBLE = POINTER(c_double)

# Name, result, arguments; all as qv6180.h declares them.
_FUNCTIONS = (
    ("qv6180_version", c_char_p, []),
    ("qv6180_strerror", c_char_p, [c_int]),
    ("qv6180_send", c_int, [c_void_p, c_int, Progress, c_void_p]),
    ("qv6180_step", c_int, [c_void_p, c_int, c_int]),
    ("qv6180_store", c_int, [c_void_p]),
    ("qv6180_park", c_int, [c_void_p]),
    ("qv6180_send_calls", c_int, [c_int]),
    ("qv6180_step_calls", c_int, [c_int, c_int]),
    ("qv6180_range_from_resistors", c_int, [c_double] * 4 + [_DOUBLE] * 2),
    ("qv6180_resistors_from_range", c_int, [c_double] * 4 + [_DOUBLE] * 2),
    ("qv6180_readouts", c_int, [c_double] * 4 + [c_int] + [_DOUBLE] * 3),
    (
        "qv6180_standard_pairs",
        c_int,
        [c_double] * 4 + [POINTER(StandardPairEntry), c_int],
    ),
)


library = load("qv6180", kLibraryVariable, __package__, _FUNCTIONS)


def error_text(code: int) -> str:
    return library.qv6180_strerror(code).decode("utf-8", "replace")
