"""The chip's counter interface on a board: send, step, store, park."""

from __future__ import annotations

from typing import Callable, List, Optional, Union

import ksthid

from ._library import Progress, kDvrRange, kStopped, library

ProgressFunction = Callable[[int, int], object]


def checked_dvr(name: str, value: int) -> int:
    """``value`` when it is a DVR value; the error that says why not, before
    anything reaches the board."""
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{name} must be an integer, not {type(value).__name__}")
    low, high = kDvrRange
    if not low <= value <= high:
        raise ValueError(f"{name} {value} is out of range {low} to {high}")
    return value


def _once(function: Callable[..., int], *arguments) -> Callable[[object], int]:
    """``function(handle, *arguments)`` made at most once, however often the
    board makes the call again after a failure: a step made twice would count
    the register twice."""
    results: List[int] = []

    def call(handle: object) -> int:
        if not results:
            results.append(function(handle, *arguments))
        return results[0]

    return call


def send_calls(dvr: int) -> int:
    """The GPIO calls (one USB report each) that ``Chip.send(dvr)`` makes."""
    return library.qv6180_send_calls(checked_dvr("dvr", dvr))


def step_calls(from_dvr: int, to_dvr: int) -> int:
    """The GPIO calls that ``Chip.step(from_dvr, to_dvr)`` makes."""
    return library.qv6180_step_calls(checked_dvr("from_dvr", from_dvr), checked_dvr("to_dvr", to_dvr))


class Chip:
    """The QV6180 on a board: ``board`` is a :class:`ksthid.Board`, which
    stays the caller's, or anything :func:`ksthid.open` takes (an index, a
    path, a serial number), opened here and closed with the Chip. Failures
    are the ksthid exceptions. Run one train (send, step, store, park) at a
    time on a board."""

    def __init__(self, board: Union[ksthid.Board, int, str, ksthid.BoardInfo] = 0) -> None:
        self._owned = not isinstance(board, ksthid.Board)
        self.board = ksthid.open(board) if self._owned else board

    def __repr__(self) -> str:
        return f"<qv6180.Chip on {self.board.path}>"

    def __enter__(self) -> "Chip":
        return self

    def __exit__(self, *_exception) -> None:
        self.close()

    def close(self) -> None:
        """Closes the board when the Chip opened it."""
        if self._owned:
            self.board.close()

    def send(self, dvr: int, progress: Optional[ProgressFunction] = None) -> None:
        """Brings the DVR register to ``dvr`` (0 to 255) whatever it holds:
        :func:`send_calls` reports, 516 to 770. ``progress(done, in_all)`` is
        called after each step; an exception it raises stops the send and
        comes out of it. After any failure the register's value is unknown."""
        checked_dvr("dvr", dvr)
        raised: List[BaseException] = []

        def told(done: int, in_all: int, _context: object) -> int:
            try:
                progress(done, in_all)
            except BaseException as error:  # noqa: B036 - handed on after the send
                raised.append(error)
                return 1
            return 0

        # Kept until the send returns: the library calls it meanwhile.
        callback = Progress(told) if progress else Progress()
        try:
            self.board.call(library.qv6180_send, dvr, callback, None)
        except ksthid.KsthidError as error:
            if raised and error.code == kStopped:
                raise raised[0] from None
            raise

    def step(self, from_dvr: int, to_dvr: int) -> None:
        """Counts the register from ``from_dvr`` to ``to_dvr`` in
        |to_dvr - from_dvr| steps, for a loop that tries value after value.

        The register cannot be read: the step is right only when it holds
        ``from_dvr``, as it does after a send or step to that value that
        raised nothing. A wrong ``from_dvr`` leaves a wrong value in the
        register and nothing says so. Bring a value that is to be stored there
        with a full :meth:`send` first. A step that failed is not made again,
        whatever the board's ``retries``; the register's value is then
        unknown."""
        checked_dvr("from_dvr", from_dvr)
        checked_dvr("to_dvr", to_dvr)
        self.board.call(_once(library.qv6180_step, from_dvr, to_dvr))

    def store(self) -> None:
        """Makes the chip copy the register into its EEPROM (4 reports)."""
        self.board.call(library.qv6180_store)

    def park(self) -> None:
        """Puts the counter interface's lines at rest (2 reports); every train
        does it first."""
        self.board.call(library.qv6180_park)
