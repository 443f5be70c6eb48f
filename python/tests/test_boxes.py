"""How the library's boxes are answered and which exception each becomes,
with boxes shown through the handler the package installs."""

import pytest

import ksthid
from ksthid import _boxes

kOk = 0x0
kRetryCancel = 0x5


def _showing(text, style, answers):
    def export():
        answers.append(_boxes._handler(None, text.encode(), b"ksthid", style))
        return 0

    return export


@pytest.mark.parametrize(
    "text, style, raised",
    [
        ("Invalid HID Number: 3", kOk, ksthid.InvalidBoard),
        ("SDA error", kOk, ksthid.DeviceError),
        ("Please check USB connection.\r\nUSB ReadFile error.", kRetryCancel, ksthid.UsbError),
        ("Firmware Version 1.3 - 2009/February/27", kOk, None),
    ],
)
def test_each_box_becomes_its_exception(text, style, raised):
    export = _showing(text, style, [])
    if raised is None:
        assert _boxes.run(export, 0)[1] == [(text, _boxes.kAnswerOk)]
        return
    with pytest.raises(raised) as error:
        _boxes.run(export, 0)
    assert error.value.text == text and str(error.value) == text.replace("\r\n", "\n")


@pytest.mark.parametrize(
    "text, retries, answers",
    [
        # Each Retry reconnects without doing the command: it is made again.
        (
            "Please check USB connection.\r\ncheckStatus",
            2,
            [_boxes.kAnswerRetry, _boxes.kAnswerRetry, _boxes.kAnswerCancel],
        ),
        # Retry on the address box changes nothing, so it is never answered Retry.
        (
            "Invalid I2C address. Press Retry to return to GUI and enter valid address or Cancel.",
            2,
            [_boxes.kAnswerCancel],
        ),
    ],
)
def test_retry_boxes_are_answered_retry_while_retries_last(text, retries, answers):
    given = []
    with pytest.raises(ksthid.KsthidError):
        _boxes.run(_showing(text, kRetryCancel, given), retries)
    assert given == answers
