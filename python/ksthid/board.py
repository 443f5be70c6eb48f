"""Boards and their command families over the library's exports."""

from __future__ import annotations

import threading
from ctypes import byref, c_int16, c_uint8
from typing import Any, Callable, Iterable, List, NamedTuple, Optional, TypeVar, Union

from . import _paths
from ._boxes import failure_kind, run
from ._library import ByteArray, integer_variant, library
from .errors import InvalidBoard, KsthidError, UsbError, WrongThread

kTrue = -1  # the library's True flag
kMaxBoardIndex = 0x7FFF
kI2CAddresses = (0x00, 0x7F)
kI2CScanned = range(0x08, 0x78)  # the addresses i2cdetect scans by default
kI2CMaxRead = 62
kI2CMaxWriteAfterRegister = 58
kI2CMaxWriteAlone = 59
kI2CMaxRegisterPlusCount = 255
kSPIMaxTransfer = 57
kOptionBits = (0, 7)  # only bits 0 to 2 of the I2C and SPI options travel
kByte = (0, 255)

Bytes = Union[bytes, bytearray, memoryview, Iterable[int]]
Result = TypeVar("Result")


def _checked(name: str, value: int, bounds: tuple[int, int], as_hex: bool = False) -> int:
    """``value`` when it is an integer within ``bounds``; a ValueError that
    says what is wrong otherwise, before anything reaches the board."""
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{name} must be an integer, not {type(value).__name__}")
    low, high = bounds
    if not low <= value <= high:
        shown = (lambda n: f"0x{n:02X}") if as_hex else str
        raise ValueError(f"{name} {shown(value)} is out of range {shown(low)} to {shown(high)}")
    return value


def _not_done(result: int) -> bool:
    """A transaction's result: 0 done, 1 failed or refused."""
    return result != 0


def _byte_string(name: str, data: Bytes, most: int) -> bytes:
    """``data`` as the bytes of one report, or the error that says why not."""
    if isinstance(data, int):  # bytes(n) would make n zero bytes
        raise TypeError(f"{name} must be bytes or a sequence of byte values, not an integer")
    try:
        payload = bytes(data)
    except ValueError as error:
        raise ValueError(f"{name}: every byte must be 0 to 255") from error
    if not 1 <= len(payload) <= most:
        raise ValueError(f"{name} holds {len(payload)} bytes; 1 to {most} fit one report")
    return payload


def _version(number: c_int16) -> str:
    """The firmware version text the library composes, taken from its box."""
    _result, boxes = run(lambda: library.kstHID_showVersion(byref(number)))
    texts = [box.text for box in boxes if failure_kind(box.text) is None]
    if not texts:
        raise KsthidError("the library showed no firmware version")
    return texts[-1]


class BoardInfo(NamedTuple):
    """A board found by :func:`boards`. ``path`` is None where it cannot be
    told (on Windows)."""

    index: int
    path: Optional[str]
    version: str


class GpioConfiguration(NamedTuple):
    """The GPIO configuration bytes and flag, as the bridge reports them."""

    first: int
    second: int
    flag: bool


_thread_boards = threading.local()


def _open_in_this_thread() -> List["Board"]:
    if not hasattr(_thread_boards, "open"):
        _thread_boards.open = []
    return _thread_boards.open


def _connect() -> List[Optional[str]]:
    """Connects the calling thread's boards and returns their paths by
    index. The library keeps known boards in their order and drops those
    gone, so each open Board of the thread finds its index again."""
    previous = getattr(_thread_boards, "found", None)
    paths = _paths.after_connect(library.kstHID_connect())
    _thread_boards.found = len(paths)
    for board in _open_in_this_thread():
        board._follow(paths, changed=previous is not None and previous != len(paths))
    return paths


def _close_unless_in_use() -> None:
    """The library's handles are per thread: closed once no Board of this
    thread needs them."""
    if not _open_in_this_thread():
        library.kstHID_closeHandles()


def boards() -> List[BoardInfo]:
    """Connects and lists the boards found, with their firmware versions."""
    paths = _connect()
    try:
        return [
            BoardInfo(index, path, _version(c_int16(index))) for index, path in enumerate(paths)
        ]
    finally:
        _close_unless_in_use()


def open(index: int = 0, *, retries: int = 0) -> "Board":  # noqa: A001 - the package's verb
    """Connects and returns board ``index`` for use in the calling thread.

    ``retries`` is how many times one call that failed with a UsbError
    reconnects every board and tries again, as Retry in the library's USB
    boxes does; a call never waits for a person.
    """
    _checked("board index", index, (0, kMaxBoardIndex))
    _checked("retries", retries, (0, kMaxBoardIndex))
    paths = _connect()
    if index >= len(paths):
        _close_unless_in_use()
        raise InvalidBoard(f"Invalid HID Number: {index} ({len(paths)} boards found)")
    board = Board(index, paths[index], retries)
    _open_in_this_thread().append(board)
    return board


class Board:
    """One open board. The library keeps its boards per thread, so a Board
    serves only the thread that opened it: from any other thread it raises
    :class:`WrongThread` (open the board there instead). When the boards are
    connected again, a Board follows its path to its new index; one that
    cannot be found again raises UsbError rather than reach another board.
    Leaving a ``with`` block closes it."""

    def __init__(self, index: int, path: Optional[str], retries: int) -> None:
        self.index = index
        self.path = path
        self.retries = retries
        self._thread = threading.current_thread()
        self._closed = False
        self._gone = False
        self._number = c_int16(index)
        self._variant = integer_variant(index)
        self.gpio = Gpio(self)
        self.i2c = I2C(self)
        self.smbus = SMBus(self)
        self.spi = SPI(self)

    def __repr__(self) -> str:
        state = "closed" if self._closed else f"thread {self._thread.name!r}"
        return f"<ksthid.Board {self.index} {self.path or '?'} {state}>"

    def __enter__(self) -> "Board":
        return self

    def __exit__(self, *_exception) -> None:
        self.close()

    def close(self) -> None:
        """Closes the board; the library's handles close with the thread's last board."""
        if self._closed:
            return
        self._ensure_in_own_thread()
        self._closed = True
        _open_in_this_thread().remove(self)
        _close_unless_in_use()

    def _ensure_usable(self) -> None:
        if self._closed:
            raise ValueError(f"board {self.index} is closed")
        self._ensure_in_own_thread()
        if self._gone:
            raise UsbError(
                f"board {self.path or self.index} is not found again after the boards changed: "
                "open it again"
            )

    def _ensure_in_own_thread(self) -> None:
        if threading.current_thread() is not self._thread:
            raise WrongThread(
                f"board {self.index} was opened in thread {self._thread.name!r} and the library "
                f"keeps its boards per thread: open it in {threading.current_thread().name!r}"
            )

    def _follow(self, paths: List[Optional[str]], changed: bool) -> None:
        """Takes the index the library now gives this board's path. Where
        paths cannot be told, the board keeps its index while the number of
        boards holds, and is taken for gone when it does not."""
        if self.path is None or None in paths:
            self._gone = self._gone or changed
            return
        if self.path not in paths:
            self._gone = True
            return
        self.index = paths.index(self.path)
        # Changed in place: prepared calls hold references to these.
        self._number.value = self.index
        self._variant.iVal = self.index

    def _with_retries(self, attempt: Callable[[], Result]) -> Result:
        self._ensure_usable()
        retries_left = self.retries
        while True:
            try:
                return attempt()
            except UsbError:
                if retries_left == 0:
                    raise
                retries_left -= 1
                _connect()
                if self._gone:
                    raise

    def _call(
        self,
        export: Callable[..., Result],
        *arguments: Any,
        refused: Callable[[Result], bool] = lambda _result: False,
        address: Optional[int] = None,
    ) -> Result:
        """Calls an export with every argument by reference, as they all take them."""
        references = [byref(argument) for argument in arguments]
        return self._with_retries(lambda: run(lambda: export(*references), refused, address)[0])

    @property
    def version(self) -> str:
        """The firmware version text, e.g. "Firmware Version 1.3 - 2009/February/27"."""
        return self._with_retries(lambda: _version(self._number))

    @property
    def clock_hz(self) -> int:
        """The system clock the board reports, times 1000 (32767 when it does not fit)."""
        return self._call(library.kstHID_getSystemClockFrequency, self._variant)

    def led(self, number: int) -> bool:
        """Whether LED ``number`` (0 or 1) is on."""
        led = c_int16(_checked("LED number", number, (0, 1)))
        return bool(self._call(library.kstHID_getLEDState, led, self._number))

    def set_led(self, number: int, on: bool) -> None:
        """Switches LED ``number`` (0 or 1); the other LED keeps its state."""
        led = c_int16(_checked("LED number", number, (0, 1)))
        state = c_uint8(1 if on else 0)
        self._call(library.kstHID_setLEDState, state, led, self._number)

    def indicate(self) -> None:
        """Marks this board: every board's LEDs go off, then this board's LED 0 lights."""
        self._call(library.kstHID_indicateSelectedModule, self._number)


class _Family:
    def __init__(self, board: Board) -> None:
        self._board = board
        self._number = board._number
        self._call = board._call


class Gpio(_Family):
    """The bridge's general-purpose pins, two bytes of them, set and read whole."""

    @property
    def value(self) -> tuple[int, int]:
        """The two value bytes the bridge reports."""
        flag = c_int16(0)
        with ByteArray() as values:
            self._call(library.kstHID_getGPIOValue, values.pointer, flag, self._number)
            first, second, _unused = values.value()
        return first, second

    def set(self, first: int, second: int) -> None:
        """Sets the two value bytes."""
        one = c_uint8(_checked("first value byte", first, kByte))
        two = c_uint8(_checked("second value byte", second, kByte))
        self._call(library.kstHID_setGPIOValue, one, two, self._number)

    @property
    def configuration(self) -> GpioConfiguration:
        """The two configuration bytes and the flag the bridge reports."""
        with ByteArray() as config:
            self._call(library.kstHID_getGPIOConfiguration, config.pointer, self._number)
            first, second, flag, _unused = config.value()
        return GpioConfiguration(first, second, bool(flag))

    def configure(self, first: int, second: int, flag: bool) -> None:
        """Sets the two configuration bytes and the flag."""
        one = c_uint8(_checked("first configuration byte", first, kByte))
        two = c_uint8(_checked("second configuration byte", second, kByte))
        on = c_int16(kTrue if flag else 0)
        self._call(library.kstHID_setGPIOConfiguration, one, two, on, self._number)


class I2C(_Family):
    """The bridge's I2C master. Addresses are 7-bit; a register of 0 sends
    no register byte before a read or write."""

    def _transaction(
        self, export, address: int, register: int, count: int, data: Optional[bytes]
    ) -> bytes:
        quiet = c_int16(0)  # the address box, not shown when quiet, becomes DeviceError
        with ByteArray(data) as payload, ByteArray() as register_buffer:
            self._call(
                export,
                c_uint8(address),
                c_uint8(register),
                c_uint8(count),
                payload.pointer,
                register_buffer.pointer,
                self._number,
                quiet,
                refused=_not_done,
                address=address,
            )
            return payload.value()

    @staticmethod
    def _check_target(address: int, register: int, count: int) -> None:
        _checked("I2C address", address, kI2CAddresses, as_hex=True)
        _checked("register", register, kByte, as_hex=True)
        if register + count > kI2CMaxRegisterPlusCount:
            raise ValueError(
                f"register 0x{register:02X} plus {count} bytes exceeds {kI2CMaxRegisterPlusCount}"
            )

    def read(self, address: int, register: int, count: int) -> bytes:
        """Reads ``count`` bytes (1 to 62), after sending ``register`` unless it is 0."""
        _checked("byte count", count, (1, kI2CMaxRead))
        self._check_target(address, register, count)
        return self._transaction(library.kstHID_doI2CRead, address, register, count, None)

    def write(self, address: int, register: int, data: Bytes) -> None:
        """Writes ``data``, after ``register`` unless it is 0: up to 58 bytes
        with a register, 59 without."""
        most = kI2CMaxWriteAfterRegister if register else kI2CMaxWriteAlone
        payload = _byte_string("I2C data", data, most)
        self._check_target(address, register, len(payload))
        self._transaction(library.kstHID_doI2CWrite, address, register, len(payload), payload)

    def probe(self, address: int, register: int = 0) -> bool:
        """Whether a device acknowledges ``address`` (a one-byte read of ``register``)."""
        _checked("I2C address", address, kI2CAddresses, as_hex=True)
        target = c_uint8(address)
        sent = c_uint8(_checked("register", register, kByte, as_hex=True))
        return self._call(library.kstHID_probeI2CAddress, target, self._number, sent) == 0

    def scan(self) -> List[int]:
        """The addresses from 0x08 to 0x77 that a device acknowledges."""
        return [address for address in kI2CScanned if self.probe(address)]

    @property
    def options(self) -> int:
        """The option bits 0 to 2; their meaning is the firmware's."""
        return self._call(library.kstHID_getI2COptions, self._number)

    @options.setter
    def options(self, bits: int) -> None:
        options = c_uint8(_checked("I2C options", bits, kOptionBits))
        no_toggle = c_uint8(0)
        self._call(library.kstHID_setI2COptions, options, no_toggle, self._number)

    def toggle_scl(self) -> None:
        """Clocks SCL to free a bus whose SDA line is held low; DeviceError
        ("SDA error") when it stays low."""
        self._call(library.kstHID_toggleSCL, self._number)


class SMBus(_Family):
    """The SMBus timer and the bus frequency."""

    @property
    def timer(self) -> int:
        """The SMBus timer count, 0 to 255."""
        return self._call(library.kstHID_getSMBusTimerCount, self._number)

    @timer.setter
    def timer(self, count: int) -> None:
        value = c_uint8(_checked("SMBus timer count", count, kByte))
        self._call(library.kstHID_setSMBusTimerCount, value, self._number)

    @property
    def frequency(self) -> int:
        """The bus frequency the board reports, times 1000 (32767 when it does not fit)."""
        return self._call(library.kstHID_getSMBusFrequency, self._number)


class SPI(_Family):
    """The bridge's SPI master."""

    @property
    def options(self) -> int:
        """The SPI option byte as the board reports it."""
        return self._call(library.kstHID_getSPIOptions, self._board._variant)

    @options.setter
    def options(self, bits: int) -> None:
        value = integer_variant(_checked("SPI options", bits, kOptionBits))
        self._call(library.kstHID_setSPIOptions, value, self._board._variant)

    @property
    def divisor(self) -> int:
        """The SPI clock divisor, 0 to 255."""
        return self._call(library.kstHID_getSPIClockDivisor, self._board._variant)

    @divisor.setter
    def divisor(self, divisor: int) -> None:
        value = c_uint8(_checked("SPI clock divisor", divisor, kByte))
        self._call(library.kstHID_setSPIClockDivisor, value, self._number)

    def transfer(self, data: Bytes, read: bool = True, flag: bool = False, param: int = 0) -> bytes:
        """Shifts ``data`` (1 to 57 bytes) out in one frame and returns the
        bytes shifted in; b"" when ``read`` is False. ``flag`` and ``param``
        go to the firmware unchanged."""
        payload = _byte_string("SPI data", data, kSPIMaxTransfer)
        count = c_uint8(len(payload))
        read_back = c_int16(kTrue if read else 0)
        spi_flag = c_int16(kTrue if flag else 0)
        spi_param = c_uint8(_checked("SPI parameter", param, kByte))
        with ByteArray(payload) as frame:
            self._call(
                library.kstHID_doSPITransaction,
                count,
                frame.pointer,
                read_back,
                self._number,
                spi_flag,
                spi_param,
                refused=_not_done,
            )
            return frame.value() if read else b""
