"""Drive the USB HID bridge boards of the QV6180 evaluation kit from Python.

A thin layer over the ksthid library's C interface with ctypes::

    import ksthid

    for index, found in enumerate(ksthid.boards()):
        print(index, found.path, found.serial)

    with ksthid.open(0) as board:          # or a path, or a serial number
        board.gpio.set(0x50, 0x00)
        eeprom = board.i2c.read(0x50, 0x00, 16)

    with ksthid.SMBus(0) as bus:           # smbus2's SMBus and i2c_msg
        bus.write_byte_data(0x50, 0x10, 0xA5)

Failures raise :class:`KsthidError` subclasses (OSErrors) built from the
library's codes and its detail: :class:`Nack`, :class:`BusError`,
:class:`Timeout`, :class:`BoardGone`, :class:`AccessDenied`,
:class:`ClaimedByKernel`, :class:`NotFound`, :class:`InvalidArgument`. Arguments are checked before
anything is sent: a ValueError says what is wrong. A :class:`Board` may be
used from any thread. :func:`monitor` reports boards coming and going. The
package changes nothing process-wide. Set KSTHID_LIBRARY to the library's
file (or its folder) to use a library other than the installed one.
"""

from .board import Board, BoardInfo, Firmware, boards, open, plug_in_virtual, unplug_virtual
from .families import SPI, I2C, Gpio, GpioConfiguration, SMBusSettings
from .errors import (
    AccessDenied,
    BoardGone,
    BusError,
    ClaimedByKernel,
    DeviceError,
    InvalidArgument,
    InvalidBoard,
    KsthidError,
    Nack,
    NotFound,
    Timeout,
    UsbError,
)
from .monitor import ARRIVED, LEFT, Event, Monitor, monitor
from .i2c_msg import i2c_msg
from .smbus import I2cFunc, SMBus

__all__ = [
    "ARRIVED",
    "AccessDenied",
    "Board",
    "BoardGone",
    "BoardInfo",
    "BusError",
    "ClaimedByKernel",
    "DeviceError",
    "Event",
    "Firmware",
    "Gpio",
    "GpioConfiguration",
    "I2cFunc",
    "I2C",
    "InvalidArgument",
    "InvalidBoard",
    "KsthidError",
    "LEFT",
    "Monitor",
    "Nack",
    "NotFound",
    "SMBus",
    "SMBusSettings",
    "SPI",
    "Timeout",
    "UsbError",
    "boards",
    "i2c_msg",
    "monitor",
    "open",
    "plug_in_virtual",
    "unplug_virtual",
]
