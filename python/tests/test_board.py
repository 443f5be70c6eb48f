"""The package against the library's virtual boards: what a lab script relies on."""

import os
import re
import subprocess
import sys
import threading

import pytest

import ksthid


def _set_led(board):
    board.set_led(0, False)
    board.set_led(1, True)


@pytest.mark.parametrize(
    "change, read_back, expected",
    [
        (lambda b: b.gpio.set(0x50, 0x0F), lambda b: b.gpio.value, (0x50, 0x0F)),
        (
            lambda b: b.gpio.configure(0xBF, 0xFF, True),
            lambda b: b.gpio.configuration,
            (0xBF, 0xFF, True),
        ),
        (_set_led, lambda b: (b.led(0), b.led(1)), (False, True)),
        (lambda b: setattr(b.i2c, "options", 5), lambda b: b.i2c.options, 5),
        # Clocking a free bus raises nothing and writes the options back as they were.
        (lambda b: (setattr(b.i2c, "options", 6), b.i2c.toggle_scl()), lambda b: b.i2c.options, 6),
        (lambda b: setattr(b.smbus, "timer", 200), lambda b: b.smbus.timer, 200),
        (lambda b: setattr(b.spi, "options", 3), lambda b: b.spi.options, 3),
        (lambda b: setattr(b.spi, "divisor", 9), lambda b: b.spi.divisor, 9),
    ],
)
def test_settings_read_back(board, change, read_back, expected):
    change(board)
    assert read_back(board) == expected


def test_board_facts(board):
    assert re.fullmatch(r"Firmware Version \d+\.\d+ - \d+/[A-Za-z]+/\d+", board.version)
    assert board.clock_hz % 1000 == 0 and board.clock_hz > 0
    assert board.smbus.frequency % 1000 == 0 and board.smbus.frequency > 0


def test_indicate_lights_only_led0_of_the_chosen_board():
    with ksthid.open(0) as first, ksthid.open(1) as second:
        first.set_led(1, True)
        second.indicate()
        assert [(b.led(0), b.led(1)) for b in (first, second)] == [(False, False), (True, False)]


@pytest.mark.parametrize("register, size", [(0x10, 58), (0xC0, 1)])
def test_eeprom_round_trip(board, register, size):
    data = os.urandom(size)
    board.i2c.write(0x50, register, data)
    assert board.i2c.read(0x50, register, size) == data


def test_spi_memory_round_trip(board):
    data = os.urandom(55)
    assert board.spi.transfer(bytes([0x02, 0x20]) + data, read=False) == b""
    assert board.spi.transfer(bytes([0x03, 0x20]) + bytes(55)) == b"\xff\xff" + data


def test_scan_finds_the_virtual_devices(board):
    assert board.i2c.scan() == [0x20, 0x50]
    assert not board.i2c.probe(0x51)


def test_boards_lists_index_path_and_version():
    found = ksthid.boards()
    assert [(b.index, b.path) for b in found] == [(0, "sim:0"), (1, "sim:1")]
    assert all(b.version.startswith("Firmware Version ") for b in found)


def test_module_lists_the_boards():
    listed = subprocess.run(
        [sys.executable, "-m", "ksthid", "list"],
        capture_output=True,
        text=True,
        check=True,
        timeout=30,
    )
    rows = [line.split("\t")[:2] for line in listed.stdout.splitlines()]
    assert rows == [["0", "sim:0"], ["1", "sim:1"]]


def test_device_error_carries_the_library_text_and_address(board):
    with pytest.raises(ksthid.DeviceError) as raised:
        board.i2c.read(0x51, 0, 1)
    assert raised.value.text.startswith("Invalid I2C address. Press Retry")
    assert raised.value.address == 0x51


def test_open_refuses_a_board_that_is_not_there():
    with pytest.raises(ksthid.InvalidBoard, match="Invalid HID Number: 2"):
        ksthid.open(2)


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda b: b.i2c.read(0x80, 0, 1), "I2C address 0x80 is out of range 0x00 to 0x7F"),
        (lambda b: b.i2c.read(0x50, 0, 63), "byte count 63 is out of range 1 to 62"),
        (lambda b: b.i2c.read(0x50, 0xFA, 10), "register 0xFA plus 10 bytes exceeds 255"),
        (lambda b: b.i2c.write(0x50, 1, bytes(59)), "I2C data holds 59 bytes; 1 to 58"),
        (lambda b: b.i2c.write(0x50, 0, bytes(60)), "I2C data holds 60 bytes; 1 to 59"),
        (lambda b: b.i2c.write(0x50, 0, [256]), "every byte must be 0 to 255"),
        (lambda b: b.spi.transfer(b""), "SPI data holds 0 bytes; 1 to 57"),
        (lambda b: setattr(b.spi, "options", 8), "SPI options 8 is out of range 0 to 7"),
        (lambda b: b.gpio.set(0, 256), "second value byte 256"),
        (lambda b: b.led(2), "LED number 2 is out of range 0 to 1"),
    ],
)
def test_bad_arguments_are_refused_before_any_report(board, reports_written, call, message):
    with pytest.raises(ValueError, match=re.escape(message)):
        call(board)
    assert reports_written() == []
    board.gpio.set(0, 0)
    assert len(reports_written()) == 1


def test_a_board_refuses_another_thread_which_opens_its_own(board):
    outcome = {}

    def elsewhere():
        try:
            board.gpio.set(1, 2)
        except ksthid.WrongThread as error:
            outcome["refused"] = str(error)
        with ksthid.open(0) as own:
            own.gpio.set(0x12, 0x34)
            outcome["value"] = own.gpio.value

    worker = threading.Thread(target=elsewhere, name="worker")
    worker.start()
    worker.join(timeout=30)
    assert "opened in thread 'MainThread'" in outcome["refused"]
    assert outcome["value"] == (0x12, 0x34) == board.gpio.value


def test_a_closed_board_refuses_calls():
    with ksthid.open(0) as board:
        pass
    with pytest.raises(ValueError, match="board 0 is closed"):
        board.gpio.set(0, 0)


_UNPLUGGED = """
import ksthid, sys
board = ksthid.open(0, retries=int(sys.argv[1]))
other = ksthid.open(1)
calls = 0
try:
    while calls < 20:
        {call}
        calls += 1
except ksthid.KsthidError as error:
    print(calls, type(error).__name__, repr(error.text))
try:
    other.gpio.set(0x12, 0x34)
    print("other done")
except ksthid.KsthidError as error:
    print("other", type(error).__name__, repr(error.text))
"""
kCheckStatus = "UsbError 'Please check USB connection.\\r\\ncheckStatus'"


@pytest.mark.parametrize(
    "call, retries, expected",
    [
        # The board takes five reports, then is pulled out.
        ("board.gpio.set(1, 0)", 0, [f"5 {kCheckStatus}", "other done"]),
        (
            "board.i2c.read(0x50, 0, 4)",
            0,
            ["5 UsbError 'Please check USB connection.\\r\\nUSB WriteFile error.'", "other done"],
        ),
        # The retry reconnects and finds one board of two: which one cannot
        # be told of virtual boards, so neither Board takes it for its own.
        (
            "board.gpio.set(1, 0)",
            1,
            [
                f"5 {kCheckStatus}",
                "other UsbError 'board sim:1 is not found again after the boards changed: "
                "open it again'",
            ],
        ),
    ],
)
def test_a_board_pulled_out_mid_call_raises(call, retries, expected):
    environment = dict(os.environ, KSTHID_SIMULATE="2", KSTHID_SIMULATE_UNPLUG_AFTER="5")
    del environment["KSTHID_TRACE"]
    ended = subprocess.run(
        [sys.executable, "-c", _UNPLUGGED.format(call=call), str(retries)],
        env=environment,
        capture_output=True,
        text=True,
        timeout=30,
    )
    assert ended.stdout.splitlines() == expected


def test_boards_follow_their_paths_when_connected_again(monkeypatch):
    found = [["/dev/hidraw1", "/dev/hidraw2"]]
    monkeypatch.setattr(ksthid.board._paths, "after_connect", lambda _count: found[0])
    with ksthid.open(0) as first, ksthid.open(1) as second:
        found[0] = ["/dev/hidraw2"]
        ksthid.boards()
        assert second.index == 0
        with pytest.raises(ksthid.UsbError, match="/dev/hidraw1 is not found again"):
            first.gpio.set(0, 0)
