"""The exceptions the package raises for the library's failure codes.

Every one is an OSError with the errno a Linux I2C adapter gives for the same
failure, so that code written for smbus2 (``except OSError``, ``error.errno ==
errno.ENXIO``) handles them as it is; ``code`` is the library's KSTHID_E_*
value and ``text`` the library's detail.
"""

from __future__ import annotations

import errno
from typing import Dict, Optional, Type


class KsthidError(OSError):
    """A failure the library reported."""

    code = 0
    errno_value = errno.EIO

    def __init__(self, text: str) -> None:
        super().__init__(self.errno_value, text)
        self.text = text


class InvalidArgument(KsthidError, ValueError):
    """The library refused the arguments; nothing was sent."""

    code = -1
    errno_value = errno.EINVAL


class NotFound(KsthidError):
    """No board by that index, path or serial number."""

    code = -2
    errno_value = errno.ENODEV


class AccessDenied(KsthidError, PermissionError):
    """The system refused to open the board."""

    code = -3
    errno_value = errno.EACCES


class ClaimedByKernel(KsthidError):
    """The Linux kernel driver owns the board (``ksthid kernel release`` gives
    it back); EBUSY, as for an I2C address a kernel driver has taken."""

    code = -10
    errno_value = errno.EBUSY


class UsbError(KsthidError):
    """The board could not be reached: a report not written or read."""

    code = -8


class BoardGone(UsbError):
    """The board was pulled out; the Board can only be closed."""

    code = -4
    errno_value = errno.ENODEV


class Timeout(UsbError, TimeoutError):
    """No answer within the Board's time-out."""

    code = -5
    errno_value = errno.ETIMEDOUT


class DeviceError(KsthidError):
    """A device on the I2C bus failed the transaction; ``address`` is its
    7-bit address when one was involved."""

    def __init__(self, text: str, address: Optional[int] = None) -> None:
        super().__init__(text)
        self.address = address


class Nack(DeviceError):
    """The I2C device did not answer (ENXIO, as an unacknowledged address is
    on Linux)."""

    code = -6
    errno_value = errno.ENXIO


class BusError(DeviceError):
    """The I2C bus is held: SDA stays low."""

    code = -7
    errno_value = errno.EBUSY


# The name scripts written for earlier versions of the package catch.
InvalidBoard = NotFound

_BY_CODE: Dict[int, Type[KsthidError]] = {
    kind.code: kind
    for kind in (
        InvalidArgument, NotFound, AccessDenied, ClaimedByKernel, BoardGone, Timeout, Nack,
        BusError, UsbError,
    )
}
kNoMemory = -9


def from_code(code: int, text: str, address: Optional[int] = None) -> Exception:
    """The exception for a negative code of the library with its detail."""
    if code == kNoMemory:
        return MemoryError(text)
    kind = _BY_CODE.get(code, KsthidError)
    error = kind(text, address) if issubclass(kind, DeviceError) else kind(text)
    error.code = code
    return error
