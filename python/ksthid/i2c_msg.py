"""The messages of :meth:`ksthid.SMBus.i2c_rdwr`, in the shape of smbus2's
``i2c_msg``."""

from __future__ import annotations

from typing import Iterator, Union

from .arguments import Bytes

kReadFlag = 0x0001  # I2C_M_RD


class i2c_msg:  # noqa: N801 - smbus2's name
    """One message: ``addr``, ``flags``, ``len`` and ``buf``; iterating gives
    its bytes as integers, ``bytes(msg)`` its bytes. A read message holds
    what was read once the transfer is done."""

    def __init__(self, addr: int, flags: int, buf: bytearray) -> None:
        self.addr = addr
        self.flags = flags
        self.buf = buf

    @property
    def len(self) -> int:
        return len(self.buf)

    @staticmethod
    def read(address: int, length: int) -> "i2c_msg":
        """A message that reads ``length`` bytes from ``address``."""
        return i2c_msg(address, kReadFlag, bytearray(length))

    @staticmethod
    def write(address: int, buf: Union[str, Bytes]) -> "i2c_msg":
        """A message that writes ``buf`` (bytes, integers or a str of byte
        characters) to ``address``."""
        data = buf.encode("latin-1") if isinstance(buf, str) else bytes(buf)
        return i2c_msg(address, 0, bytearray(data))

    def __iter__(self) -> Iterator[int]:
        return iter(self.buf)

    def __len__(self) -> int:
        return len(self.buf)

    def __bytes__(self) -> bytes:
        return bytes(self.buf)

    def __repr__(self) -> str:
        return f"i2c_msg({self.addr},{self.flags},{bytes(self.buf)!r})"

    def __str__(self) -> str:
        return bytes(self.buf).decode(errors="ignore")
