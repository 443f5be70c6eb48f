"""The library's message boxes, answered by the package and turned into
exceptions.

The library shows its boxes from inside a call, on the calling thread. The
package installs one handler for the process; while one of its calls runs,
the handler records each box on that thread and answers it so that the call
goes on without a person: OK, Cancel or No. Once the call has returned, the
last failure box becomes the exception. Retry is never answered here: the
library would reconnect and go on with the same board index, which may then
name another board; the Board reconnects itself and checks which board is
which before it tries again.
"""

from __future__ import annotations

import atexit
import sys
import threading
from typing import Callable, List, NamedTuple, Optional, Type, TypeVar

from ._library import MessageBoxHandler, kWindows, library
from .errors import DeviceError, InvalidBoard, KsthidError, UsbError

kTypeMask = 0xF
kOkCancel = 0x1
kYesNo = 0x4
kRetryCancel = 0x5
kAnswerOk = 1
kAnswerCancel = 2
kAnswerNo = 7

# The library's texts are narrow strings: the ANSI code page on Windows.
kTextEncoding = "mbcs" if kWindows else "utf-8"

# Opening words of each failure box and what it becomes.
_FAILURES = (
    ("Invalid HID Number: ", InvalidBoard),
    ("Invalid I2C address.", DeviceError),
    ("SDA error", DeviceError),
    ("Please check USB connection.", UsbError),
    ("ledNumber must be 0 or 1", KsthidError),
)


def failure_kind(text: str) -> Optional[Type[KsthidError]]:
    """The exception a box with this text stands for; None for a box that
    only informs (the firmware version)."""
    for opening, kind in _FAILURES:
        if text.startswith(opening):
            return kind
    return None


class Box(NamedTuple):
    """A box the library showed during a call, and the answer it was given."""

    text: str
    answer: int


def _answer(style: int) -> int:
    """The answer that lets the call go on without a person."""
    kind = style & kTypeMask
    if kind in (kOkCancel, kRetryCancel):
        return kAnswerCancel
    return kAnswerNo if kind == kYesNo else kAnswerOk


_running = threading.local()


def _show(_context, text: bytes, caption: bytes, style: int) -> int:
    message = text.decode(kTextEncoding, "replace")
    answer = _answer(style)
    boxes: Optional[List[Box]] = getattr(_running, "boxes", None)
    if boxes is None:
        # A box from a call the package did not make: shown as the library
        # would show it without a desktop.
        print(f"{message} [{caption.decode(kTextEncoding, 'replace')}]", file=sys.stderr)
    else:
        boxes.append(Box(message, answer))
    return answer


# Kept while the library holds on to it; the library's own boxes come back
# before the interpreter, which runs the handler, goes away.
_handler = MessageBoxHandler(_show)
library.kstHID_setMessageBoxHandler(_handler, None)
atexit.register(library.kstHID_setMessageBoxHandler, MessageBoxHandler(), None)

Result = TypeVar("Result")


def run(
    export: Callable[[], Result],
    refused: Callable[[Result], bool] = lambda _result: False,
    address: Optional[int] = None,
) -> tuple[Result, List[Box]]:
    """Calls ``export`` and returns its result with the boxes it showed;
    raises the failure its last failure box reports, or KsthidError for a
    result that ``refused`` calls a refusal that came without a box."""
    boxes: List[Box] = []
    outer = getattr(_running, "boxes", None)
    _running.boxes = boxes
    try:
        result = export()
    finally:
        _running.boxes = outer
    failures = [box.text for box in boxes if failure_kind(box.text)]
    if failures:
        raise _exception(failures[-1], address)
    if refused(result):
        raise KsthidError("the library refused the call")
    return result, boxes


def _exception(text: str, address: Optional[int]) -> KsthidError:
    kind = failure_kind(text)
    if kind is DeviceError:
        return DeviceError(text, address)
    return kind(text)
