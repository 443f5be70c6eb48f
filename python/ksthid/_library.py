"""Loads the ksthid library and declares its C interface (ksthid_api.h) for
ctypes. The interface uses the platform's C calling convention everywhere."""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import sys
import sysconfig
from ctypes import POINTER, c_char_p, c_int, c_size_t, c_uint8, c_uint16, c_uint32, c_void_p
from pathlib import Path
from typing import Iterable, List

kLibraryVariable = "KSTHID_LIBRARY"
kLibraryName = "ksthid.dll" if sys.platform == "win32" else "libksthid.so"

# Hot-plug events.
kArrived = 1
kLeft = 2


class BoardInfoEntry(ctypes.Structure):
    pass


BoardInfoEntry._fields_ = [
    ("path", c_char_p),
    ("serial", c_char_p),
    ("product", c_char_p),
    ("vendor_id", c_uint16),
    ("product_id", c_uint16),
    ("error", c_int),
    ("error_text", c_char_p),
    ("next", POINTER(BoardInfoEntry)),
]


class FirmwareEntry(ctypes.Structure):
    _fields_ = [
        ("major", c_uint8),
        ("minor", c_uint8),
        ("year", c_uint16),
        ("month", c_uint8),
        ("day", c_uint8),
    ]


_HANDLE = c_void_p
_INFO_LIST = POINTER(POINTER(BoardInfoEntry))
_U8 = POINTER(c_uint8)
_U16 = POINTER(c_uint16)
_U32 = POINTER(c_uint32)

# Name, result, arguments; all as ksthid_api.h declares them.
_FUNCTIONS = (
    ("ksthid_strerror", c_char_p, [c_int]),
    ("ksthid_enumerate", c_int, [_INFO_LIST]),
    ("ksthid_free_enumeration", None, [POINTER(BoardInfoEntry)]),
    ("ksthid_open", c_int, [c_char_p, POINTER(_HANDLE)]),
    ("ksthid_close", None, [_HANDLE]),
    ("ksthid_board_path", c_char_p, [_HANDLE]),
    ("ksthid_board_serial", c_char_p, [_HANDLE]),
    ("ksthid_set_timeout", c_int, [_HANDLE, c_int]),
    ("ksthid_get_timeout", c_int, [_HANDLE]),
    ("ksthid_last_error", c_char_p, [_HANDLE]),
    ("ksthid_firmware_version", c_int, [_HANDLE, POINTER(FirmwareEntry)]),
    ("ksthid_leds_read", c_int, [_HANDLE, _U8]),
    ("ksthid_leds_write", c_int, [_HANDLE, c_uint8]),
    ("ksthid_indicate", c_int, [_HANDLE]),
    ("ksthid_system_clock", c_int, [_HANDLE, _U32]),
    ("ksthid_gpio_write", c_int, [_HANDLE, c_uint16]),
    ("ksthid_gpio_read", c_int, [_HANDLE, _U16]),
    ("ksthid_gpio_configure", c_int, [_HANDLE, c_uint16, c_int]),
    ("ksthid_gpio_configuration", c_int, [_HANDLE, _U16, POINTER(c_int)]),
    ("ksthid_i2c_read", c_int, [_HANDLE, c_uint8, c_int, _U8, c_size_t]),
    ("ksthid_i2c_write", c_int, [_HANDLE, c_uint8, c_int, _U8, c_size_t]),
    ("ksthid_i2c_probe", c_int, [_HANDLE, c_uint8]),
    ("ksthid_i2c_options_read", c_int, [_HANDLE, _U8]),
    ("ksthid_i2c_options_write", c_int, [_HANDLE, c_uint8]),
    ("ksthid_i2c_toggle_scl", c_int, [_HANDLE]),
    ("ksthid_smbus_frequency", c_int, [_HANDLE, _U32]),
    ("ksthid_smbus_timer_read", c_int, [_HANDLE, _U8]),
    ("ksthid_smbus_timer_write", c_int, [_HANDLE, c_uint8]),
    ("ksthid_spi_options_read", c_int, [_HANDLE, _U8]),
    ("ksthid_spi_options_write", c_int, [_HANDLE, c_uint8]),
    ("ksthid_spi_divisor_read", c_int, [_HANDLE, _U8]),
    ("ksthid_spi_divisor_write", c_int, [_HANDLE, c_uint8]),
    ("ksthid_spi_transfer_flagged", c_int, [_HANDLE, _U8, _U8, c_size_t, c_int, c_uint8]),
    ("ksthid_monitor_open", c_int, [POINTER(_HANDLE)]),
    ("ksthid_monitor_next", c_int, [_HANDLE, c_int, POINTER(c_int), _INFO_LIST]),
    ("ksthid_monitor_close", None, [_HANDLE]),
    ("ksthid_virtual_unplug", c_int, [c_char_p]),
    ("ksthid_virtual_plug_in", c_int, [c_char_p]),
)


def _candidates() -> Iterable[str]:
    """Where the library may be, in the order tried: the file or folder named
    by KSTHID_LIBRARY alone; else the library installed with this package by
    CMake or the Debian package, the system's library path, the usual install
    folders, and last the plain name."""
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
    found = ctypes.util.find_library("ksthid")
    if found:
        yield found
    # Where an install of the project's own puts the library (CMake's default prefix), and an
    # interpreter's own prefix (a conda environment's).
    folders = [Path(sys.prefix) / "lib", Path("/usr/local/lib")]
    multiarch = sysconfig.get_config_var("MULTIARCH")
    if multiarch:
        folders += [Path("/usr/local/lib") / multiarch, Path("/usr/lib") / multiarch]
    for folder in folders:
        yield from sorted(str(found) for found in folder.glob(kLibraryName + "*"))
    yield kLibraryName


def _load() -> ctypes.CDLL:
    failures: List[str] = []
    for candidate in _candidates():
        try:
            loaded = ctypes.CDLL(candidate)
        except OSError as error:
            failures.append(f"{candidate}: {error}")
            continue
        missing = [name for name, _result, _arguments in _FUNCTIONS if not hasattr(loaded, name)]
        if not missing:
            return loaded
        failures.append(f"{candidate}: not the ksthid library, or an older one: no {missing[0]}")
    raise ImportError(
        f"cannot load the ksthid library (set {kLibraryVariable} to its file or folder); "
        "looked at " + "; ".join(failures)
    )


def text(value: bytes) -> str:
    """A string of the library: UTF-8 (or ASCII)."""
    return value.decode("utf-8", "replace")


library = _load()
for _name, _result, _arguments in _FUNCTIONS:
    _function = getattr(library, _name)
    _function.restype = _result
    _function.argtypes = _arguments
