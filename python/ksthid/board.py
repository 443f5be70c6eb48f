"""Boards over the library's C interface: finding them, opening them, and
what a board does itself (firmware, clock, LEDs); its command families are
in families.py."""

from __future__ import annotations

import threading
from ctypes import POINTER, byref, c_uint8, c_uint32, c_void_p
from typing import Callable, List, NamedTuple, Optional, Union

from ._library import BoardInfoEntry, FirmwareEntry, library, text
from .arguments import checked, checked_flag, library_name
from .errors import BoardGone, NotFound, UsbError, from_code
from .families import SPI, I2C, Gpio, SMBusSettings
from .limits import kMaxBoardIndex, kMaxRetries, kMonths, kTimeoutMs


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
