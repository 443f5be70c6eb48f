"""Boards coming and going, as the library's hot-plug monitor sees them."""

from __future__ import annotations

import threading
import time
from ctypes import POINTER, byref, c_int, c_void_p
from typing import Iterator, NamedTuple, Optional

from ._library import BoardInfoEntry, kArrived, kLeft, library, text
from .board import BoardInfo, info_list
from .errors import from_code

ARRIVED = "arrived"
LEFT = "left"
_KINDS = {kArrived: ARRIVED, kLeft: LEFT}

# The longest one wait in the library lasts, so that Ctrl+C is noticed soon.
kWaitSliceMs = 250


def _check_timeout(timeout: Optional[float]) -> Optional[float]:
    if timeout is not None and (isinstance(timeout, bool) or not isinstance(timeout, (int, float))):
        raise TypeError(f"timeout must be a number of seconds or None, not {timeout!r}")
    return timeout


class Event(NamedTuple):
    """A board that arrived (``kind`` ARRIVED) or left (LEFT)."""

    kind: str
    board: BoardInfo


class Monitor:
    """Watches for boards plugged in and pulled out from the moment it is
    made: the boards present then are known, later changes become
    :class:`Event` s. Iterating yields them; with a ``timeout`` (seconds) the
    iteration ends once that long has passed without one. Leaving a ``with``
    block closes it."""

    def __init__(self, timeout: Optional[float] = None) -> None:
        self.timeout = _check_timeout(timeout)
        self._handle = c_void_p()
        code = library.ksthid_monitor_open(byref(self._handle))
        if code < 0:
            raise from_code(code, text(library.ksthid_strerror(code)))
        # One wait at a time; close waits for the one running.
        self._lock = threading.Lock()

    def __enter__(self) -> "Monitor":
        return self

    def __exit__(self, *_exception) -> None:
        self.close()

    def __iter__(self) -> Iterator[Event]:
        while (event := self.next_event(self.timeout)) is not None:
            yield event

    def next_event(self, timeout: Optional[float] = None) -> Optional[Event]:
        """The next arrival or departure, waiting up to ``timeout`` seconds
        (None: without end; 0: not at all); None when none came in time."""
        _check_timeout(timeout)
        deadline = None if timeout is None else time.monotonic() + timeout
        while True:
            left = kWaitSliceMs if deadline is None else (deadline - time.monotonic()) * 1000
            event = self._wait(max(0, min(round(left), kWaitSliceMs)))
            if event is not None or (deadline is not None and time.monotonic() >= deadline):
                return event

    def _wait(self, milliseconds: int) -> Optional[Event]:
        kind = c_int()
        entry = POINTER(BoardInfoEntry)()
        with self._lock:
            if not self._handle:
                raise ValueError("the monitor is closed")
            code = library.ksthid_monitor_next(
                self._handle, milliseconds, byref(kind), byref(entry)
            )
        if code < 0:
            raise from_code(code, text(library.ksthid_strerror(code)))
        return Event(_KINDS[kind.value], info_list(entry)[0]) if code == 1 else None

    def close(self) -> None:
        """Stops watching."""
        with self._lock:
            library.ksthid_monitor_close(self._handle)
            self._handle = c_void_p()


def monitor(timeout: Optional[float] = None) -> Monitor:
    """A :class:`Monitor` of the boards coming and going::

        with ksthid.monitor(timeout=10) as events:
            for event in events:
                print(event.kind, event.board.path, event.board.serial)
    """
    return Monitor(timeout)
