"""The command families of a board: GPIO, I2C, the SMBus settings and SPI,
each a thin layer over the library's calls (``board.gpio``, ``board.i2c``,
``board.smbus``, ``board.spi``)."""

from __future__ import annotations

from ctypes import byref, c_int, c_uint8, c_uint16, c_uint32
from typing import TYPE_CHECKING, List, NamedTuple, Optional

from ._library import library
from .arguments import Bytes, byte_string, checked, checked_flag
from .limits import (
    kByte,
    kI2CAddresses,
    kI2CMaxRead,
    kI2CMaxRegisterPlusCount,
    kI2CMaxWriteAfterRegister,
    kI2CMaxWriteAlone,
    kI2CScanned,
    kOptionBits,
    kSPIMaxTransfer,
)

if TYPE_CHECKING:
    from .board import Board


class GpioConfiguration(NamedTuple):
    """The GPIO configuration bytes and flag, as the bridge reports them."""

    first: int
    second: int
    flag: bool


class _Family:
    def __init__(self, board: Board) -> None:
        self._board = board
        self._call = board.call
        self._query = board.query


def _word(kind: str, first: int, second: int) -> int:
    """Two bytes as the bridge sends them: the first is the low byte."""
    low = checked(f"first {kind} byte", first, kByte)
    return low | checked(f"second {kind} byte", second, kByte) << 8


class Gpio(_Family):
    """The bridge's 16 general-purpose pins, two bytes of them, set and read
    whole: the first byte is pins 0 to 7 and travels first (the low byte of
    the C interface's word), the second pins 8 to 15."""

    @property
    def value(self) -> tuple[int, int]:
        """The two value bytes the bridge reports: pins 0 to 7, then 8 to 15."""
        word = self._query(library.ksthid_gpio_read, c_uint16)
        return word & 0xFF, word >> 8

    def set(self, first: int, second: int) -> None:
        """Sets the two value bytes."""
        self._call(library.ksthid_gpio_write, _word("value", first, second))

    @property
    def configuration(self) -> GpioConfiguration:
        """The two configuration bytes and the flag the bridge reports."""
        word, flag = c_uint16(), c_int()
        self._call(library.ksthid_gpio_configuration, byref(word), byref(flag))
        return GpioConfiguration(word.value & 0xFF, word.value >> 8, bool(flag.value))

    def configure(self, first: int, second: int, flag: bool) -> None:
        """Sets the two configuration bytes and the flag."""
        word = _word("configuration", first, second)
        on = checked_flag("GPIO flag", flag)
        self._call(library.ksthid_gpio_configure, word, 1 if on else 0)


class I2C(_Family):
    """The bridge's I2C master. Addresses are 7-bit; a register address is
    sent before the data unless it is None."""

    @staticmethod
    def _target(address: int, register: Optional[int], count: int) -> int:
        """The register argument of the library: -1 for none."""
        checked("I2C address", address, kI2CAddresses, as_hex=True)
        if register is None:
            return -1
        checked("register", register, kByte, as_hex=True, hint="; None sends none")
        if register + count > kI2CMaxRegisterPlusCount:
            raise ValueError(
                f"register 0x{register:02X} plus {count} bytes exceeds {kI2CMaxRegisterPlusCount}"
            )
        return register

    def read(self, address: int, register: Optional[int], count: int) -> bytes:
        """Reads ``count`` bytes (1 to 62), after sending ``register`` unless it is None."""
        checked("byte count", count, (1, kI2CMaxRead))
        reg = self._target(address, register, count)
        data = (c_uint8 * count)()
        self._call(library.ksthid_i2c_read, address, reg, data, count, address=address)
        return bytes(data)

    def write(self, address: int, register: Optional[int], data: Bytes) -> None:
        """Writes ``data``, after ``register`` unless it is None: up to 58
        bytes with a register, 59 without."""
        most = kI2CMaxWriteAlone if register is None else kI2CMaxWriteAfterRegister
        payload = byte_string("I2C data", data, most)
        reg = self._target(address, register, len(payload))
        buffer = (c_uint8 * len(payload)).from_buffer_copy(payload)
        self._call(library.ksthid_i2c_write, address, reg, buffer, len(payload), address=address)

    def probe(self, address: int) -> bool:
        """Whether a device answers at ``address`` (a one-byte read of register 0)."""
        checked("I2C address", address, kI2CAddresses, as_hex=True)
        return self._call(library.ksthid_i2c_probe, address, address=address) == 1

    def scan(self) -> List[int]:
        """The addresses from 0x08 to 0x77 that a device answers."""
        return [address for address in kI2CScanned if self.probe(address)]

    @property
    def options(self) -> int:
        """The I2C option bits 0 to 2 (0 to 7); their meaning is the bridge's."""
        return self._query(library.ksthid_i2c_options_read, c_uint8)

    @options.setter
    def options(self, bits: int) -> None:
        self._call(library.ksthid_i2c_options_write, checked("I2C options", bits, kOptionBits))

    def toggle_scl(self) -> None:
        """Clocks SCL to free a bus whose SDA line is held low, keeping the
        options; :class:`BusError` when SDA stays low."""
        self._call(library.ksthid_i2c_toggle_scl)


class SMBusSettings(_Family):
    """The SMBus timer and the bus frequency (``board.smbus``)."""

    @property
    def timer(self) -> int:
        """The SMBus timer count, 0 to 255."""
        return self._query(library.ksthid_smbus_timer_read, c_uint8)

    @timer.setter
    def timer(self, count: int) -> None:
        self._call(library.ksthid_smbus_timer_write, checked("SMBus timer count", count, kByte))

    @property
    def frequency(self) -> int:
        """The bus frequency value the board reports, times 1000 (the unit is
        the firmware's)."""
        return self._query(library.ksthid_smbus_frequency, c_uint32)


class SPI(_Family):
    """The bridge's SPI master."""

    @property
    def options(self) -> int:
        """The SPI option bits 0 to 2 (0 to 7); their meaning is the bridge's."""
        return self._query(library.ksthid_spi_options_read, c_uint8)

    @options.setter
    def options(self, bits: int) -> None:
        self._call(library.ksthid_spi_options_write, checked("SPI options", bits, kOptionBits))

    @property
    def divisor(self) -> int:
        """The SPI clock divisor, 0 to 255."""
        return self._query(library.ksthid_spi_divisor_read, c_uint8)

    @divisor.setter
    def divisor(self, divisor: int) -> None:
        self._call(library.ksthid_spi_divisor_write, checked("SPI clock divisor", divisor, kByte))

    def transfer(
        self, data: Bytes, read: bool = True, *, flag: bool = False, parameter: int = 0
    ) -> bytes:
        """Shifts ``data`` (1 to 57 bytes) out in one frame and returns the
        bytes shifted in; b"" when ``read`` is False, and then returns as
        soon as the request has left. ``flag`` and ``parameter`` (0 to 255)
        are the transfer's flag and parameter bytes; their meaning is the
        bridge's."""
        payload = byte_string("SPI data", data, kSPIMaxTransfer)
        flag_byte = int(checked_flag("SPI flag", flag))
        parameter = checked("SPI parameter", parameter, kByte)
        frame = (c_uint8 * len(payload)).from_buffer_copy(payload)
        self._call(
            library.ksthid_spi_transfer_flagged,
            frame,
            frame if read else None,
            len(payload),
            flag_byte,
            parameter,
        )
        return bytes(frame) if read else b""
