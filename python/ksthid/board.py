"""Boards and their command families over the library's C interface."""

from __future__ import annotations

import threading
from ctypes import POINTER, byref, c_int, c_uint8, c_uint16, c_uint32, c_void_p
from typing import Callable, List, NamedTuple, Optional, Union

from ._library import BoardInfoEntry, FirmwareEntry, library, text
from .arguments import Bytes, byte_string, checked, checked_flag, library_name
from .errors import BoardGone, NotFound, UsbError, from_code

kMaxRetries = 0x7FFF
kMaxBoardIndex = 0x7FFF
kI2CAddresses = (0x00, 0x7F)
kI2CScanned = range(0x08, 0x78)  # the addresses i2cdetect scans by default
# The limits as ksthid_api.h states them, and the months as the tools name them: the test
# ksthid_copies_agree holds these to the library's.
kI2CMaxRead = 62
kI2CMaxWriteAfterRegister = 58
kI2CMaxWriteAlone = 59
kI2CMaxRegisterPlusCount = 255
kSPIMaxTransfer = 57
kOptionBits = (0, 7)
kByte = (0, 255)
kTimeoutMs = (1, 600000)
kMonths = (
    "January", "February", "March", "April", "May", "June",
    "July", "August", "September", "October", "November", "December",
)  # fmt: skip


def _failure(code: int, detail: str = "", address: Optional[int] = None) -> Exception:
    return from_code(code, detail or text(library.ksthid_strerror(code)), address)


class BoardInfo(NamedTuple):
    """A bridge present, as :func:`boards` and monitors report it. ``error``
    is 0 when it can be opened, else the library's code, which
    ``error_text`` puts in words."""

    path: str
    serial: str
    product: str
    vendor_id: int
    product_id: int
    error: int
    error_text: str

    @classmethod
    def _from(cls, entry: BoardInfoEntry) -> "BoardInfo":
        return cls(
            text(entry.path),
            text(entry.serial),
            text(entry.product),
            entry.vendor_id,
            entry.product_id,
            entry.error,
            text(entry.error_text),
        )


def info_list(first: "POINTER[BoardInfoEntry]") -> List[BoardInfo]:
    """The entries of a list of the library, which it then frees."""
    found = []
    entry = first
    while entry:
        found.append(BoardInfo._from(entry.contents))
        entry = entry.contents.next
    library.ksthid_free_enumeration(first)
    return found


def boards() -> List[BoardInfo]:
    """The bridges present, in the order the library numbers them, with
    those that cannot be opened (``error`` not 0). The index :func:`open`
    takes counts the others only, as ``ksthid -b`` and the HIDnumbers do."""
    first = POINTER(BoardInfoEntry)()
    count = library.ksthid_enumerate(byref(first))
    if count < 0:
        raise _failure(count)
    return info_list(first)


def open(  # noqa: A001 - the package's verb
    board: Union[int, str, BoardInfo] = 0, *, retries: int = 0
) -> "Board":
    """Opens a bridge: ``board`` is its index among the boards that can be
    opened (in the order of :func:`boards`), a :class:`BoardInfo`, or a
    string, which names the board with that path or, when no board has that
    path, the board with that serial number (a path wins over a serial).

    ``retries`` is how many times one call that got no answer in time, or
    whose report could not be written or read, is made again. A board pulled
    out is not retried: its Board raises :class:`BoardGone` until closed.
    """
    checked("retries", retries, (0, kMaxRetries))
    if isinstance(board, BoardInfo):
        name = board.path
    elif isinstance(board, str):
        name = board
    else:
        index = checked("board index", board, (0, kMaxBoardIndex))
        present = [found for found in boards() if found.error == 0]
        if index >= len(present):
            raise NotFound(f"no board {index}: {len(present)} found")
        name = present[index].path
    handle = c_void_p()
    code = library.ksthid_open(library_name("board name", name), byref(handle))
    if code < 0:
        raise _failure(code, f"{text(library.ksthid_strerror(code))}: {name}")
    return Board(handle, retries)


def _change_virtual_board(change: Callable[[bytes], int], path: str) -> None:
    code = change(library_name("virtual board path", path))
    if code < 0:
        raise _failure(code, f"{text(library.ksthid_strerror(code))}: {path}")


def unplug_virtual(path: str) -> None:
    """Pulls a virtual board (KSTHID_SIMULATE) out as a user would the real
    one: its Boards raise BoardGone, monitors see it leave."""
    _change_virtual_board(library.ksthid_virtual_unplug, path)


def plug_in_virtual(path: str) -> None:
    """Plugs a virtual board that was pulled out back in."""
    _change_virtual_board(library.ksthid_virtual_plug_in, path)


class Firmware(NamedTuple):
    """The bridge's firmware version and date."""

    major: int
    minor: int
    year: int
    month: int
    day: int

    def __str__(self) -> str:
        month = kMonths[self.month - 1] if 1 <= self.month <= 12 else str(self.month)
        return f"Firmware Version {self.major}.{self.minor} - {self.year}/{month}/{self.day}"


class GpioConfiguration(NamedTuple):
    """The GPIO configuration bytes and flag, as the bridge reports them."""

    first: int
    second: int
    flag: bool


class Board:
    """One open bridge, usable from any thread and from several at once: the
    library keeps each request and its answer together. Closing waits for
    calls still running in other threads. Leaving a ``with`` block closes
    it."""

    def __init__(self, handle: c_void_p, retries: int) -> None:
        self._handle = handle
        self.path = text(library.ksthid_board_path(handle))
        self.serial = text(library.ksthid_board_serial(handle))
        self.retries = retries
        self._closed = False
        self._running = 0
        self._idle = threading.Condition()
        # Held across a read and the write that changes part of what was read.
        self._changing = threading.Lock()
        self.gpio = Gpio(self)
        self.i2c = I2C(self)
        self.smbus = SMBusSettings(self)
        self.spi = SPI(self)

    def __repr__(self) -> str:
        state = " closed" if self._closed else ""
        return f"<ksthid.Board {self.path} serial {self.serial!r}{state}>"

    def __enter__(self) -> "Board":
        if self._closed:
            raise ValueError(f"board {self.path} is closed")
        return self

    def __exit__(self, *_exception) -> None:
        self.close()

    def close(self) -> None:
        """Closes the board once no call on it runs any more."""
        with self._idle:
            if self._closed:
                return
            self._closed = True
            self._idle.wait_for(lambda: self._running == 0)
        library.ksthid_close(self._handle)

    def _begin(self) -> None:
        with self._idle:
            if self._closed:
                raise ValueError(f"board {self.path} is closed")
            self._running += 1

    def _end(self) -> None:
        with self._idle:
            self._running -= 1
            if self._running == 0:
                self._idle.notify_all()

    def call(self, function: Callable[..., int], *arguments, address: Optional[int] = None) -> int:
        """Calls ``function(handle, *arguments)`` and returns its result;
        raises the failure it reports, with the library's detail. ``address``
        is the I2C address the call is about."""
        self._begin()
        try:
            retries_left = self.retries
            while True:
                result = function(self._handle, *arguments)
                if result >= 0:
                    return result
                # The detail is the calling thread's own, read right after.
                error = _failure(result, text(library.ksthid_last_error(self._handle)), address)
                retried = isinstance(error, UsbError) and not isinstance(error, BoardGone)
                if retries_left == 0 or not retried:
                    raise error
                retries_left -= 1
        finally:
            self._end()

    def query(self, function: Callable[..., int], kind: type, *arguments) -> int:
        """The value a query stores in its last argument."""
        value = kind()
        self.call(function, *arguments, byref(value))
        return value.value

    @property
    def timeout(self) -> float:
        """How long a call waits for an answer, in seconds (6 at first)."""
        return self.call(library.ksthid_get_timeout) / 1000

    @timeout.setter
    def timeout(self, seconds: float) -> None:
        milliseconds = checked("time-out in ms", round(seconds * 1000), kTimeoutMs)
        self.call(library.ksthid_set_timeout, milliseconds)

    @property
    def firmware(self) -> Firmware:
        """The firmware version and date."""
        entry = FirmwareEntry()
        self.call(library.ksthid_firmware_version, byref(entry))
        return Firmware(entry.major, entry.minor, entry.year, entry.month, entry.day)

    @property
    def version(self) -> str:
        """The firmware version as text, e.g. "Firmware Version 1.3 - 2009/February/27"."""
        return str(self.firmware)

    @property
    def system_clock(self) -> int:
        """The system clock value the board reports, times 1000 (the unit is
        the firmware's)."""
        return self.query(library.ksthid_system_clock, c_uint32)

    @property
    def clock_hz(self) -> int:
        """:attr:`system_clock` by its earlier name, kept for the scripts that
        use it: the value is not known to be in Hz."""
        return self.system_clock

    @property
    def leds(self) -> int:
        """Both LEDs: bit 0 is LED 0, bit 1 LED 1, set when lit."""
        return self.query(library.ksthid_leds_read, c_uint8)

    @leds.setter
    def leds(self, bits: int) -> None:
        self.call(library.ksthid_leds_write, checked("LED bits", bits, (0, 3)))

    def led(self, number: int) -> bool:
        """Whether LED ``number`` (0 or 1) is on."""
        shift = checked("LED number", number, (0, 1))
        return bool(self.leds >> shift & 1)

    def set_led(self, number: int, on: bool) -> None:
        """Switches LED ``number`` (0 or 1); the other LED keeps its state."""
        bit = 1 << checked("LED number", number, (0, 1))
        lit = checked_flag("LED state", on)
        with self._changing:
            self.leds = self.leds | bit if lit else self.leds & ~bit

    def indicate(self) -> None:
        """Marks this board: LED 0 lit, LED 1 dark."""
        self.call(library.ksthid_indicate)


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
