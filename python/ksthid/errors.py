"""The exceptions the package raises in place of the library's message boxes."""

from __future__ import annotations

from typing import Optional


class KsthidError(Exception):
    """A failure the library reported; ``text`` is the library's own text."""

    def __init__(self, text: str) -> None:
        super().__init__(text.replace("\r\n", "\n"))
        self.text = text


class InvalidBoard(KsthidError):
    """The board index names no open board ("Invalid HID Number: N")."""


class DeviceError(KsthidError):
    """The device on the bus refused: an I2C address not acknowledged, or SDA
    held low after clocking SCL. ``address`` is the 7-bit I2C address when
    one was involved."""

    def __init__(self, text: str, address: Optional[int] = None) -> None:
        super().__init__(text)
        self.address = address

    def __str__(self) -> str:
        text = super().__str__()
        return text if self.address is None else f"{text} (address 0x{self.address:02X})"


class UsbError(KsthidError):
    """A report could not be written, or no answer came in time."""


class WrongThread(KsthidError):
    """A Board was used from a thread other than the one that opened it."""
