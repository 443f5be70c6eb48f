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
def test_each_box_is_answered_without_a_person_and_becomes_its_exception(text, style, raised):
    answers = []
    export = _showing(text, style, answers)
    if raised is None:
        assert _boxes.run(export)[1] == [(text, _boxes.kAnswerOk)]
        return
    with pytest.raises(raised) as error:
        _boxes.run(export)
    assert error.value.text == text and str(error.value) == text.replace("\r\n", "\n")
    # Retry would reconnect and go on with an index that may name another board.
    assert answers == [_boxes.kAnswerCancel if style == kRetryCancel else _boxes.kAnswerOk]
