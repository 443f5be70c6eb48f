"""Which exception each of the library's codes becomes: the errno that
smbus2 scripts check, and the classes they catch."""

import errno

import pytest

import ksthid
from ksthid.errors import from_code


@pytest.mark.parametrize(
    "code, kind, errno_value, also",
    [
        (-1, ksthid.InvalidArgument, errno.EINVAL, ValueError),
        (-2, ksthid.NotFound, errno.ENODEV, ksthid.InvalidBoard),
        (-3, ksthid.AccessDenied, errno.EACCES, PermissionError),
        (-10, ksthid.ClaimedByKernel, errno.EBUSY, ksthid.KsthidError),
        (-4, ksthid.BoardGone, errno.ENODEV, ksthid.UsbError),
        (-5, ksthid.Timeout, errno.ETIMEDOUT, TimeoutError),
        (-6, ksthid.Nack, errno.ENXIO, ksthid.DeviceError),
        (-7, ksthid.BusError, errno.EBUSY, ksthid.DeviceError),
        (-8, ksthid.UsbError, errno.EIO, ksthid.KsthidError),
        (-99, ksthid.KsthidError, errno.EIO, OSError),
    ],
)
def test_each_code_becomes_its_os_error(code, kind, errno_value, also):
    error = from_code(code, "detail", address=0x50)
    assert type(error) is kind and isinstance(error, also)
    assert (error.code, error.errno, error.text, str(error)) == (
        code,
        errno_value,
        "detail",
        f"[Errno {errno_value}] detail",
    )


def test_no_memory_becomes_memory_error():
    assert type(from_code(-9, "detail")) is MemoryError
