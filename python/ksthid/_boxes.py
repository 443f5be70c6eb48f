"""The library's message boxes, answered by the package and turned into
exceptions.

The library shows its boxes from inside a call, on the calling thread. The
package installs one handler for the process; while one of its calls runs,
the handler records each box on that thread and answers it: OK boxes with
OK, Retry/Cancel boxes with Retry while the call's retries last, otherwise
Cancel. Once the call has returned, the last failure box becomes the
exception.
"""

from __future__ import annotations

import atexit
import sys
import threading
from dataclasses import dataclass, field
from typing import Callable, List, NamedTuple, Optional, Type, TypeVar

from ._library import MessageBoxHandler, kWindows, library
from .errors import DeviceError, InvalidBoard, KsthidError, UsbError

kTypeMask = 0xF
kOkCancel = 0x1
kYesNo = 0x4
kRetryCancel = 0x5
kAnswerOk = 1
kAnswerCancel = 2
kAnswerRetry = 4
kAnswerNo = 7

kNotAcknowledged = "Invalid I2C address."
# The library's texts are narrow strings: the ANSI code page on Windows.
kTextEncoding = "mbcs" if kWindows else "utf-8"

# Opening words of each failure box and what it becomes.
_FAILURES = (
    ("Invalid HID Number: ", InvalidBoard),
    (kNotAcknowledged, DeviceError),
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
    text: str
    answer: int


@dataclass
class _Call:
    retries_left: int
    boxes: List[Box] = field(default_factory=list)

    def answer(self, text: str, style: int) -> int:
        kind = style & kTypeMask
        if kind == kRetryCancel:
            # Retry on the address box changes nothing; it is no retry.
            if self.retries_left > 0 and not text.startswith(kNotAcknowledged):
                self.retries_left -= 1
                return kAnswerRetry
            return kAnswerCancel
        return _non_blocking_answer(kind)


def _non_blocking_answer(kind: int) -> int:
    if kind in (kOkCancel, kRetryCancel):
        return kAnswerCancel
    return kAnswerNo if kind == kYesNo else kAnswerOk


_running = threading.local()


def _show(_context, text: bytes, caption: bytes, style: int) -> int:
    message = text.decode(kTextEncoding, "replace")
    call: Optional[_Call] = getattr(_running, "call", None)
    if call is None:
        # A box from a call the package did not make: shown as the library
        # would show it without a desktop.
        print(f"{message} [{caption.decode(kTextEncoding, 'replace')}]", file=sys.stderr)
        return _non_blocking_answer(style & kTypeMask)
    answer = call.answer(message, style)
    call.boxes.append(Box(message, answer))
    return answer


# Kept while the library holds on to it; the library's own boxes come back
# before the interpreter, which runs the handler, goes away.
_handler = MessageBoxHandler(_show)
library.kstHID_setMessageBoxHandler(_handler, None)
atexit.register(library.kstHID_setMessageBoxHandler, MessageBoxHandler(), None)

Result = TypeVar("Result")


def run(
    export: Callable[[], Result],
    retries: int,
    succeeded: Callable[[Result], bool] = lambda _result: False,
    refused: Callable[[Result], bool] = lambda _result: False,
    address: Optional[int] = None,
) -> tuple[Result, List[Box]]:
    """Calls ``export`` and raises the failure its boxes report.

    ``succeeded`` tells a result that is success whatever boxes came before
    (a transaction repeated after Retry); ``refused`` a failure result that
    came without a box. A failure box answered Retry has reconnected the
    boards; the call is then made again, while retries last.
    """
    call = _Call(retries)
    outer = getattr(_running, "call", None)
    _running.call = call
    try:
        while True:
            call.boxes.clear()
            result = export()
            if succeeded(result):
                return result, list(call.boxes)
            failures = [box for box in call.boxes if failure_kind(box.text)]
            if not failures:
                if refused(result):
                    raise KsthidError("the library refused the call")
                return result, list(call.boxes)
            last = failures[-1]
            if last.answer != kAnswerRetry:
                raise _exception(last.text, address)
    finally:
        _running.call = outer


def _exception(text: str, address: Optional[int]) -> KsthidError:
    kind = failure_kind(text)
    if kind is DeviceError:
        return DeviceError(text, address)
    return kind(text)
