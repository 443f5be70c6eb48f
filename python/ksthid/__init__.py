"""Drive the USB HID bridge boards of the QV6180 evaluation kit from Python.

A thin layer over the ksthid library with ctypes::

    import ksthid

    for found in ksthid.boards():
        print(found.index, found.path, found.version)

    with ksthid.open(0) as board:
        board.gpio.set(0x50, 0x00)
        eeprom = board.i2c.read(0x50, 0x00, 16)

The library's message boxes become exceptions (:class:`KsthidError` and its
subclasses) carrying the library's own text. Arguments are checked before
anything is sent: a ValueError says what is wrong. The library keeps its
boards per thread; a :class:`Board` serves the thread that opened it.
Set KSTHID_LIBRARY to the library's file (or its folder) to use a library
other than the installed one.
"""

from .board import SPI, BoardInfo, Board, Gpio, GpioConfiguration, I2C, SMBus, boards, open
from .errors import DeviceError, InvalidBoard, KsthidError, UsbError, WrongThread

__all__ = [
    "Board",
    "BoardInfo",
    "DeviceError",
    "Gpio",
    "GpioConfiguration",
    "I2C",
    "InvalidBoard",
    "KsthidError",
    "SMBus",
    "SPI",
    "UsbError",
    "WrongThread",
    "boards",
    "open",
]
