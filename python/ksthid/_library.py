"""Loads the ksthid library and declares its C interface (ksthid_api.h) for
ctypes. The interface uses the platform's C calling convention everywhere."""

from __future__ import annotations

import ctypes
from ctypes import POINTER, c_char_p, c_int, c_size_t, c_uint8, c_uint16, c_uint32, c_void_p

from ._loading import load

kLibraryVariable = "KSTHID_LIBRARY"

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


def text(value: bytes) -> str:
    """A string of the library: UTF-8 (or ASCII)."""
    return value.decode("utf-8", "replace")


library = load("ksthid", kLibraryVariable, __package__, _FUNCTIONS)
