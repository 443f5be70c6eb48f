"""Board paths as the library numbers its boards, from a fake sysfs."""

import pytest

from ksthid import _paths

kBridge = "HID_ID=0003:00003A5C:00004B17"
kKeyboard = "HID_ID=0003:0000046D:0000C31C"


def _node(root, number, uevent, has_node=True):
    device = root / "sys" / "class" / "hidraw" / f"hidraw{number}" / "device"
    device.mkdir(parents=True)
    (device / "uevent").write_text(f"DRIVER=hid-generic\n{uevent}\nHID_NAME=x\n")
    (root / "dev").mkdir(exist_ok=True)
    if has_node:
        (root / "dev" / f"hidraw{number}").touch()


def test_bridges_in_node_number_order_that_can_be_opened(tmp_path):
    for number, uevent, has_node in [
        (10, kBridge, True),
        (2, kBridge, True),
        (3, kKeyboard, True),
        (4, kBridge, False),
    ]:
        _node(tmp_path, number, uevent, has_node)
    found = _paths._hidraw_bridges(tmp_path / "sys", tmp_path / "dev")
    assert found == [str(tmp_path / "dev" / name) for name in ("hidraw2", "hidraw10")]


@pytest.mark.parametrize(
    "present, count, expected",
    [
        # Known boards keep their order; one plugged in again comes last.
        (["/dev/hidraw1", "/dev/hidraw2"], 2, ["/dev/hidraw2", "/dev/hidraw1"]),
        # Counts that disagree with the library's give no paths at all.
        (["/dev/hidraw1", "/dev/hidraw2"], 3, [None, None, None]),
    ],
)
def test_a_reconnect_keeps_known_boards_first(monkeypatch, present, count, expected):
    monkeypatch.delenv("KSTHID_SIMULATE")
    monkeypatch.setattr(_paths._known, "paths", ["/dev/hidraw2"], raising=False)
    monkeypatch.setattr(_paths, "_hidraw_bridges", lambda: present)
    assert _paths.after_connect(count) == expected
