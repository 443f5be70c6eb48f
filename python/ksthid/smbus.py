"""SMBus and I2C transfers on a bridge in the shape of smbus2's ``SMBus`` and
``i2c_msg``, so that scripts written for a Linux I2C bus run with
``from ksthid import SMBus, i2c_msg``.

Failures raise OSError subclasses with the errno Linux gives: a device that
does not answer ENXIO, a held bus EBUSY, no answer from the bridge ETIMEDOUT,
a message the bridge cannot carry EOPNOTSUPP.
"""

from __future__ import annotations

import errno
from typing import List, Optional, Sequence, Union

from .board import (
    I2C,
    Board,
    BoardInfo,
    Bytes,
    kI2CMaxRead,
    kI2CMaxRegisterPlusCount,
    kI2CMaxWriteAlone,
    open,
)

# As smbus2 and Linux's I2C_SMBUS_BLOCK_MAX.
kBlockMax = 32
kReadFlag = 0x0001  # I2C_M_RD


class i2c_msg:  # noqa: N801 - smbus2's name
    """One message of :meth:`SMBus.i2c_rdwr`: ``addr``, ``flags``, ``len``
    and ``buf``; iterating gives its bytes as integers, ``bytes(msg)`` its
    bytes. A read message holds what was read once the transfer is done."""

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

    def __iter__(self):
        return iter(self.buf)

    def __bytes__(self) -> bytes:
        return bytes(self.buf)

    def __repr__(self) -> str:
        return f"i2c_msg({self.addr}, {self.flags}, {bytes(self.buf)!r})"


class SMBus:
    """The I2C bus of one bridge. ``bus`` is what :func:`ksthid.open` takes
    (an index, a path, a serial number) or an open :class:`Board`, which the
    SMBus then uses without closing it. ``force`` is taken for smbus2's
    sake: no kernel driver holds the bridge's devices.

    Every call is one I2C transaction of the bridge with a repeated start
    between a command byte and the read, except where the bridge cannot carry
    it: it takes a command byte with a read only while command + length stays
    within 255, so beyond that the command goes in a write of its own and the
    read follows after a STOP, which EEPROMs and register files take alike.
    """

    def __init__(
        self, bus: Union[None, int, str, BoardInfo, Board] = None, force: bool = False
    ) -> None:
        self.force = force
        self._board: Optional[Board] = None
        self._owned = False
        if bus is not None:
            self.open(bus)

    def open(self, bus: Union[int, str, BoardInfo, Board]) -> None:
        """Opens the bridge ``bus`` names (see the class)."""
        self.close()
        self._owned = not isinstance(bus, Board)
        self._board = open(bus) if self._owned else bus

    def close(self) -> None:
        """Closes the bridge when this SMBus opened it."""
        if self._owned and self._board is not None:
            self._board.close()
        self._board = None

    def __enter__(self) -> "SMBus":
        return self

    def __exit__(self, *_exception) -> None:
        self.close()

    @property
    def _i2c(self) -> I2C:
        if self._board is None:
            raise OSError(errno.EBADF, "the SMBus is not open")
        return self._board.i2c

    def _read(self, address: int, command: int, length: int) -> bytes:
        if command + length > kI2CMaxRegisterPlusCount:
            self._i2c.write(address, None, [command])
            return self._i2c.read(address, None, length)
        return self._i2c.read(address, command, length)

    def _write(self, address: int, command: int, data: Bytes) -> None:
        # The command byte leads the data on the bus either way; as data it
        # escapes the bridge's limit on command + length.
        self._i2c.write(address, None, bytes([command]) + bytes(data))

    def read_byte(self, i2c_addr: int, force: Optional[bool] = None) -> int:
        """Reads a byte without sending a command (an EEPROM's next byte)."""
        return self._i2c.read(i2c_addr, None, 1)[0]

    def write_byte(self, i2c_addr: int, value: int, force: Optional[bool] = None) -> None:
        """Writes one byte (an EEPROM's address pointer)."""
        self._i2c.write(i2c_addr, None, [value])

    def read_byte_data(self, i2c_addr: int, register: int, force: Optional[bool] = None) -> int:
        return self._read(i2c_addr, register, 1)[0]

    def write_byte_data(
        self, i2c_addr: int, register: int, value: int, force: Optional[bool] = None
    ) -> None:
        self._write(i2c_addr, register, [value])

    def read_word_data(self, i2c_addr: int, register: int, force: Optional[bool] = None) -> int:
        """A 16-bit word, low byte first as SMBus sends it."""
        return int.from_bytes(self._read(i2c_addr, register, 2), "little")

    def write_word_data(
        self, i2c_addr: int, register: int, value: int, force: Optional[bool] = None
    ) -> None:
        self._write(i2c_addr, register, value.to_bytes(2, "little"))

    def read_i2c_block_data(
        self, i2c_addr: int, register: int, length: int, force: Optional[bool] = None
    ) -> List[int]:
        """``length`` bytes (up to 32) read after the command ``register``."""
        if length > kBlockMax:
            raise ValueError(f"Desired block length over {kBlockMax} bytes")
        return list(self._read(i2c_addr, register, length))

    def write_i2c_block_data(
        self, i2c_addr: int, register: int, data: Sequence[int], force: Optional[bool] = None
    ) -> None:
        """Writes ``data`` (up to 32 bytes) after the command ``register``."""
        if len(data) > kBlockMax:
            raise ValueError(f"Data length cannot exceed {kBlockMax} bytes")
        self._write(i2c_addr, register, data)

    def i2c_rdwr(self, *i2c_msgs: i2c_msg) -> None:
        """Runs one read or write message, or a one-byte write and a read of
        the same device (a register read with a repeated start). Other
        combinations are more than the bridge does in one transaction and
        raise OSError(EOPNOTSUPP), as Linux does for such an adapter."""
        for message in i2c_msgs:
            most = kI2CMaxRead if message.flags & kReadFlag else kI2CMaxWriteAlone
            if not 1 <= message.len <= most:
                raise OSError(
                    errno.EOPNOTSUPP,
                    f"a message of {message.len} bytes: the bridge carries 1 to {most}",
                )
        if len(i2c_msgs) == 1:
            message = i2c_msgs[0]
            if message.flags & kReadFlag:
                message.buf[:] = self._i2c.read(message.addr, None, message.len)
            else:
                self._i2c.write(message.addr, None, message.buf)
        elif _is_register_read(i2c_msgs):
            command, answer = i2c_msgs
            answer.buf[:] = self._read(answer.addr, command.buf[0], answer.len)
        else:
            raise OSError(errno.EOPNOTSUPP, "the bridge does this in more than one transaction")


def _is_register_read(messages: Sequence[i2c_msg]) -> bool:
    if len(messages) != 2:
        return False
    command, answer = messages
    return (
        not command.flags & kReadFlag
        and command.len == 1
        and answer.flags & kReadFlag
        and answer.addr == command.addr
    )
