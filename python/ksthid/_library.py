"""Loads the ksthid library and declares its exports for ctypes.

Every argument of an export is passed by reference. On Linux the library
supplies its own OLE array functions under the Windows names; on Windows
they come from oleaut32.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import sys
from ctypes import POINTER, c_int16, c_uint8, c_void_p
from pathlib import Path
from typing import Iterable, List, Optional

kLibraryVariable = "KSTHID_LIBRARY"
kWindows = sys.platform == "win32"
kLibraryName = "ksthid.dll" if kWindows else "libksthid.so"

kVtI2 = 2
kVtUi1 = 17

# Exports use the standard calling convention on Windows (it matters on x86).
_Loader = ctypes.WinDLL if kWindows else ctypes.CDLL
_Function = ctypes.WINFUNCTYPE if kWindows else ctypes.CFUNCTYPE


class SafeArrayBound(ctypes.Structure):
    _fields_ = [("cElements", ctypes.c_uint32), ("lLbound", ctypes.c_int32)]


class SafeArray(ctypes.Structure):
    _fields_ = [
        ("cDims", ctypes.c_uint16),
        ("fFeatures", ctypes.c_uint16),
        ("cbElements", ctypes.c_uint32),
        ("cLocks", ctypes.c_uint32),
        ("pvData", c_void_p),
        ("rgsabound", SafeArrayBound * 1),
    ]


class _VariantValue(ctypes.Union):
    # The record member gives the union its full width: two pointers.
    _fields_ = [("llVal", ctypes.c_int64), ("iVal", c_int16), ("record", c_void_p * 2)]


class Variant(ctypes.Structure):
    _anonymous_ = ("value",)
    _fields_ = [
        ("vt", ctypes.c_uint16),
        ("reserved", ctypes.c_uint16 * 3),
        ("value", _VariantValue),
    ]


def integer_variant(value: int) -> Variant:
    """A variant holding a 16-bit integer, as the exports that take one expect."""
    variant = Variant()
    variant.vt = kVtI2
    variant.iVal = value
    return variant


# int handler(void* context, const char* text, const char* caption, unsigned style)
MessageBoxHandler = _Function(
    ctypes.c_int, c_void_p, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_uint
)

_I16 = POINTER(c_int16)
_U8 = POINTER(c_uint8)
_ARRAY = POINTER(POINTER(SafeArray))
_VARIANT = POINTER(Variant)

# Name, result, arguments; all as ksthid.h declares them.
_EXPORTS = (
    ("kstHID_setMessageBoxHandler", None, [MessageBoxHandler, c_void_p]),
    ("kstHID_connect", c_int16, []),
    ("kstHID_closeHandles", None, []),
    ("kstHID_getLEDState", c_int16, [_I16, _I16]),
    ("kstHID_setLEDState", c_int16, [_U8, _I16, _I16]),
    ("kstHID_indicateSelectedModule", c_int16, [_I16]),
    ("kstHID_showVersion", None, [_I16]),
    ("kstHID_getSystemClockFrequency", c_int16, [_VARIANT]),
    ("kstHID_doI2CRead", c_int16, [_U8, _U8, _U8, _ARRAY, _ARRAY, _I16, _I16]),
    ("kstHID_doI2CWrite", c_int16, [_U8, _U8, _U8, _ARRAY, _ARRAY, _I16, _I16]),
    ("kstHID_probeI2CAddress", c_int16, [_U8, _I16, _U8]),
    ("kstHID_getSMBusFrequency", c_int16, [_I16]),
    ("kstHID_getSMBusTimerCount", c_int16, [_I16]),
    ("kstHID_setSMBusTimerCount", c_int16, [_U8, _I16]),
    ("kstHID_getI2COptions", c_uint8, [_I16]),
    ("kstHID_setI2COptions", c_int16, [_U8, _U8, _I16]),
    ("kstHID_toggleSCL", None, [_I16]),
    ("kstHID_setSPIOptions", c_int16, [_VARIANT, _VARIANT]),
    ("kstHID_getSPIOptions", c_uint8, [_VARIANT]),
    ("kstHID_setSPIClockDivisor", c_int16, [_U8, _I16]),
    ("kstHID_getSPIClockDivisor", c_uint8, [_VARIANT]),
    ("kstHID_doSPITransaction", c_int16, [_U8, _ARRAY, _I16, _I16, _I16, _U8]),
    ("kstHID_setGPIOConfiguration", c_int16, [_U8, _U8, _I16, _I16]),
    ("kstHID_getGPIOConfiguration", c_int16, [_ARRAY, _I16]),
    ("kstHID_setGPIOValue", c_int16, [_U8, _U8, _I16]),
    ("kstHID_getGPIOValue", c_int16, [_ARRAY, _I16, _I16]),
)

_OLE_FUNCTIONS = (
    (
        "SafeArrayCreateVector",
        POINTER(SafeArray),
        [ctypes.c_uint16, ctypes.c_int32, ctypes.c_uint32],
    ),
    ("SafeArrayDestroy", ctypes.c_int32, [POINTER(SafeArray)]),
)


def _candidates() -> Iterable[str]:
    """Where the library may be, in the order tried: the file or folder named
    by KSTHID_LIBRARY, the installed library beside this package, then the
    system's library path."""
    named = os.environ.get(kLibraryVariable)
    if named:
        yield str(Path(named) / kLibraryName) if Path(named).is_dir() else named
        return
    try:
        from ._installed import kLibraryDir
    except ImportError:
        pass
    else:
        folder = Path(__file__).parent / kLibraryDir
        # The runtime package may hold only the versioned file.
        yield from sorted(str(found) for found in folder.glob(kLibraryName + "*"))
    yield ctypes.util.find_library("ksthid") or kLibraryName


def _load() -> ctypes.CDLL:
    failures: List[str] = []
    for candidate in _candidates():
        try:
            return _Loader(candidate)
        except OSError as error:
            failures.append(f"{candidate}: {error}")
    raise ImportError(
        f"cannot load the ksthid library (set {kLibraryVariable} to its file): "
        + "; ".join(failures)
    )


def _declare(library: ctypes.CDLL, functions) -> None:
    for name, result, arguments in functions:
        function = getattr(library, name)
        function.restype = result
        function.argtypes = arguments


library = _load()
_declare(library, _EXPORTS)
ole = _Loader("oleaut32") if kWindows else library
_declare(ole, _OLE_FUNCTIONS)


class ByteArray:
    """A caller-owned OLE byte array for one export call, passed as
    ``pointer``; the library may create or resize it. Destroyed when the
    ``with`` block ends."""

    def __init__(self, data: Optional[bytes] = None) -> None:
        self.pointer = POINTER(SafeArray)()
        if data is not None:
            self.pointer = ole.SafeArrayCreateVector(kVtUi1, 0, len(data))
            if not self.pointer:
                raise MemoryError("cannot create a byte array")
            ctypes.memmove(self.pointer.contents.pvData, data, len(data))

    def value(self) -> bytes:
        if not self.pointer or not self.pointer.contents.pvData:
            return b""
        array = self.pointer.contents
        return ctypes.string_at(array.pvData, array.rgsabound[0].cElements)

    def __enter__(self) -> "ByteArray":
        return self

    def __exit__(self, *_exception) -> None:
        if self.pointer:
            ole.SafeArrayDestroy(self.pointer)
            self.pointer = POINTER(SafeArray)()
