"""SMBus and I2C transfers on a bridge in the shape of smbus2's ``SMBus`` and
``i2c_msg`` (0.4), so that scripts written for a Linux I2C bus run with
``from ksthid import SMBus, i2c_msg``.

Failures raise OSError subclasses with the errno Linux gives: a device that
does not answer ENXIO, a held bus EBUSY, no answer from the bridge ETIMEDOUT,
a transfer the bridge cannot make EOPNOTSUPP (as for an adapter without that
function: ``funcs`` tells which it has), a wrong PEC EBADMSG, a block length
out of 1 to 32 EPROTO.
"""

from __future__ import annotations

import errno
from typing import List, Optional, Sequence, Union

from .arguments import Bytes
from .board import Board, BoardInfo, open
from .families import I2C
from .limits import kI2CMaxRead, kI2CMaxRegisterPlusCount, kI2CMaxWriteAlone
from .i2c_msg import i2c_msg, kReadFlag
from .smbus_functions import I2cFunc, kBridgeFunctions, pec_of

# As smbus2 and Linux's I2C_SMBUS_BLOCK_MAX.
kBlockMax = 32


def _unsupported(what: str) -> OSError:
    return OSError(errno.EOPNOTSUPP, f"the bridge cannot make {what}")


class SMBus:
    """The I2C bus of one bridge. ``bus`` is what :func:`ksthid.open` takes
    (an index, a path, a serial number) or an open :class:`Board`, which the
    SMBus then uses without closing it. ``force`` is taken for smbus2's
    sake: no kernel driver holds the bridge's devices. ``fd`` stays None:
    the bridge is reached through the library, not a device file.

    Every call is one I2C transaction of the bridge with a repeated start
    between a command byte and the read, except where the bridge cannot carry
    it: it takes a command byte with a read only while command + length stays
    within 255, so beyond that the command goes in a write of its own and the
    read follows after a STOP, which EEPROMs and register files take alike.
    With PEC enabled, the byte, byte-data, word and block transfers carry
    SMBus's PEC, as Linux's do (the I2C block transfers, as there, do not).
    """

    def __init__(
        self, bus: Union[None, int, str, BoardInfo, Board] = None, force: bool = False
    ) -> None:
        self.fd = None
        self.funcs = I2cFunc(0)
        self._board: Optional[Board] = None
        self._owned = False
        if bus is not None:
            self.open(bus)
        self.address: Optional[int] = None
        self.force = force
        self._force_last: Optional[bool] = None
        self._pec = 0

    def __enter__(self) -> "SMBus":
        return self

    def __exit__(self, exc_type, exc_val, exc_tb) -> None:
        self.close()

    def open(self, bus: Union[int, str, BoardInfo, Board]) -> None:
        """Opens the bridge ``bus`` names (see the class)."""
        self.close()
        self._owned = not isinstance(bus, Board)
        self._board = open(bus) if self._owned else bus
        self.funcs = self._get_funcs()

    def close(self) -> None:
        """Closes the bridge when this SMBus opened it."""
        if self._owned and self._board is not None:
            self._board.close()
        self._board = None
        self.funcs = I2cFunc(0)

    def _get_pec(self) -> int:
        return self._pec

    def enable_pec(self, enable: bool = True) -> None:
        """Adds SMBus's PEC to the transfers that carry one (see the class)."""
        if not self.funcs & I2cFunc.SMBUS_PEC:
            raise OSError("SMBUS_PEC is not a feature")
        self._pec = int(enable)

    pec = property(_get_pec, enable_pec)

    def _set_address(self, address: int, force: Optional[bool] = None) -> None:
        """Remembers the device the next transfers address, as smbus2 does."""
        self.address = address
        self._force_last = self.force if force is None else force

    def _get_funcs(self) -> I2cFunc:
        return kBridgeFunctions if self._board is not None else I2cFunc(0)

    @property
    def _i2c(self) -> I2C:
        if self._board is None:
            raise OSError(errno.EBADF, "the SMBus is not open")
        return self._board.i2c

    # A transaction's bytes for its PEC: the address byte of a write, and of
    # a read.
    @staticmethod
    def _writing(address: int) -> int:
        return address << 1

    @staticmethod
    def _reading(address: int) -> int:
        return address << 1 | 1

    def _read(self, address: int, command: Optional[int], length: int, pec: bool = False) -> bytes:
        """``length`` bytes read after ``command`` (None: without one),
        checked against their PEC when ``pec``."""
        self._set_address(address)
        total = length + (1 if pec else 0)
        if command is None:
            data = self._i2c.read(address, None, total)
        elif command + total > kI2CMaxRegisterPlusCount:
            self._i2c.write(address, None, [command])
            data = self._i2c.read(address, None, total)
        else:
            data = self._i2c.read(address, command, total)
        if pec:
            sent = [self._writing(address), command] if command is not None else []
            if pec_of([*sent, self._reading(address), *data[:-1]]) != data[-1]:
                raise OSError(errno.EBADMSG, f"the PEC of the device at 0x{address:02X} is wrong")
        return data[:length]

    def _write(self, address: int, data: Bytes, pec: bool = False) -> None:
        """One write of ``data`` (its command byte first), with its PEC when ``pec``."""
        self._set_address(address)
        payload = bytes(data)
        if pec:
            payload += bytes([pec_of(bytes([self._writing(address)]) + payload)])
        self._i2c.write(address, None, payload)

    def write_quick(self, i2c_addr: int, force: Optional[bool] = None) -> None:
        raise _unsupported("a quick command: it writes no byte")

    def read_byte(self, i2c_addr: int, force: Optional[bool] = None) -> int:
        """Reads a byte without sending a command (an EEPROM's next byte)."""
        return self._read(i2c_addr, None, 1, bool(self._pec))[0]

    def write_byte(self, i2c_addr: int, value: int, force: Optional[bool] = None) -> None:
        """Writes one byte (an EEPROM's address pointer)."""
        self._write(i2c_addr, [value], bool(self._pec))

    def read_byte_data(self, i2c_addr: int, register: int, force: Optional[bool] = None) -> int:
        return self._read(i2c_addr, register, 1, bool(self._pec))[0]

    def write_byte_data(
        self, i2c_addr: int, register: int, value: int, force: Optional[bool] = None
    ) -> None:
        self._write(i2c_addr, [register, value], bool(self._pec))

    def read_word_data(self, i2c_addr: int, register: int, force: Optional[bool] = None) -> int:
        """A 16-bit word, low byte first as SMBus sends it."""
        return int.from_bytes(self._read(i2c_addr, register, 2, bool(self._pec)), "little")

    def write_word_data(
        self, i2c_addr: int, register: int, value: int, force: Optional[bool] = None
    ) -> None:
        self._write(i2c_addr, bytes([register]) + value.to_bytes(2, "little"), bool(self._pec))

    def process_call(
        self, i2c_addr: int, register: int, value: int, force: Optional[bool] = None
    ) -> int:
        raise _unsupported("a process call: it writes three bytes before the read")

    def read_block_data(
        self, i2c_addr: int, register: int, force: Optional[bool] = None
    ) -> List[int]:
        raise _unsupported("an SMBus block read: it cannot stop at the length the device sends")

    def write_block_data(
        self, i2c_addr: int, register: int, data: Sequence[int], force: Optional[bool] = None
    ) -> None:
        """Writes the command ``register``, the count and ``data`` (1 to 32 bytes)."""
        _check_block(len(data))
        self._write(i2c_addr, bytes([register, len(data)]) + bytes(data), bool(self._pec))

    def block_process_call(
        self, i2c_addr: int, register: int, data: Sequence[int], force: Optional[bool] = None
    ) -> List[int]:
        raise _unsupported("a block process call: it writes a block before the read")

    def read_i2c_block_data(
        self, i2c_addr: int, register: int, length: int, force: Optional[bool] = None
    ) -> List[int]:
        """``length`` bytes (1 to 32) read after the command ``register``."""
        if length > kBlockMax:
            raise ValueError(f"Desired block length over {kBlockMax} bytes")
        if length < 1:
            raise ValueError(f"Desired block length {length}: 1 to {kBlockMax} bytes")
        return list(self._read(i2c_addr, register, length))

    def write_i2c_block_data(
        self, i2c_addr: int, register: int, data: Sequence[int], force: Optional[bool] = None
    ) -> None:
        """Writes ``data`` (up to 32 bytes) after the command ``register``."""
        if len(data) > kBlockMax:
            raise ValueError(f"Data length cannot exceed {kBlockMax} bytes")
        # The command leads the data on the bus either way; as data it
        # escapes the bridge's limit on command + length.
        self._write(i2c_addr, bytes([register]) + bytes(data))

    def i2c_rdwr(self, *i2c_msgs: i2c_msg) -> None:
        """Runs one read or write message, or a one-byte write and a read of
        the same device (a register read with a repeated start). Other
        combinations are more than the bridge does in one transaction and
        raise OSError(EOPNOTSUPP), as Linux does for such an adapter."""
        if not i2c_msgs:
            raise OSError(errno.EINVAL, "i2c_rdwr needs at least one message")
        for message in i2c_msgs:
            most = kI2CMaxRead if _is_read(message) else kI2CMaxWriteAlone
            if not 1 <= message.len <= most:
                raise OSError(
                    errno.EOPNOTSUPP,
                    f"a message of {message.len} bytes: the bridge carries 1 to {most}",
                )
        if len(i2c_msgs) == 1:
            message = i2c_msgs[0]
            if _is_read(message):
                message.buf[:] = self._read(message.addr, None, message.len)
            else:
                self._write(message.addr, message.buf)
        elif _is_register_read(i2c_msgs):
            command, answer = i2c_msgs
            answer.buf[:] = self._read(answer.addr, command.buf[0], answer.len)
        else:
            raise _unsupported("these messages in one transaction")


def _is_read(message: i2c_msg) -> bool:
    return bool(message.flags & kReadFlag)


def _check_block(length: int) -> None:
    if not 1 <= length <= kBlockMax:
        raise OSError(errno.EPROTO, f"a block of {length} bytes: SMBus carries 1 to {kBlockMax}")


def _is_register_read(messages: Sequence[i2c_msg]) -> bool:
    if len(messages) != 2:
        return False
    command, answer = messages
    return (
        not _is_read(command)
        and command.len == 1
        and _is_read(answer)
        and answer.addr == command.addr
    )
