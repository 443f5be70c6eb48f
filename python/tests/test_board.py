"""The package against the library's virtual boards: what a lab script relies on."""

import ctypes.util
import errno
import itertools
import os
import re
import subprocess
import sys
import threading
from concurrent.futures import ThreadPoolExecutor

import pytest

import ksthid
from ksthid._library import library


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
    assert board.system_clock % 1000 == 0 and board.system_clock > 0
    assert board.clock_hz == board.system_clock
    assert board.smbus.frequency % 1000 == 0 and board.smbus.frequency > 0


def test_indicate_lights_only_led0_of_the_chosen_board():
    with ksthid.open(0) as first, ksthid.open(1) as second:
        first.leds = second.leds = 0b10
        second.indicate()
        assert [first.leds, second.leds] == [0b10, 0b01]


@pytest.mark.parametrize("register, size", [(0x10, 58), (0xC0, 1)])
def test_eeprom_round_trip(board, rng, register, size):
    data = rng.randbytes(size)
    board.i2c.write(0x50, register, data)
    assert board.i2c.read(0x50, register, size) == data


def test_spi_memory_round_trip(board, rng):
    data = rng.randbytes(55)
    assert board.spi.transfer(bytes([0x02, 0x20]) + data, read=False) == b""
    assert board.spi.transfer(bytes([0x03, 0x20]) + bytes(55)) == b"\xff\xff" + data


def test_spi_transfer_carries_its_flag_and_parameter_bytes(board, reports_written):
    board.spi.transfer(b"\x9f", read=False, flag=True, parameter=0x5A)
    [written] = reports_written()
    assert written.split()[3].startswith("01090000015a019f")


def test_scan_finds_the_virtual_devices(board):
    assert board.i2c.scan() == [0x20, 0x50]
    assert not board.i2c.probe(0x51)


def test_boards_lists_path_serial_and_identity():
    found = ksthid.boards()
    assert [b.path for b in found] == ["sim:0", "sim:1"]
    assert len({b.serial for b in found}) == 2 and all(b.serial for b in found)
    assert {(b.vendor_id, b.product_id, b.error, b.error_text) for b in found} == {
        (0x3A5C, 0x4B17, 0, "")
    }


@pytest.mark.parametrize(
    "name",
    [lambda: 1, lambda: "sim:1", lambda: ksthid.boards()[1].serial, lambda: ksthid.boards()[1]],
)
def test_open_takes_an_index_a_path_a_serial_or_a_board_info(name):
    with ksthid.open(name()) as board:
        assert (board.path, board.serial) == ("sim:1", ksthid.boards()[1].serial)


def test_module_lists_the_boards():
    listed = subprocess.run(
        [sys.executable, "-m", "ksthid", "list"],
        capture_output=True,
        text=True,
        check=True,
        timeout=30,
    )
    rows = [line.split("\t") for line in listed.stdout.splitlines()]
    # The columns of `ksthid list`.
    assert [row[:2] for row in rows] == [["0", "sim:0"], ["1", "sim:1"]]
    assert all(row[2].startswith("VB") and row[3].startswith("Firmware Version ") for row in rows)
    assert {row[4] for row in rows} == {b.product for b in ksthid.boards()}


def test_a_nack_carries_the_library_detail_address_and_errno(board):
    with pytest.raises(ksthid.Nack) as raised:
        board.i2c.read(0x51, 0, 1)
    assert raised.value.text == "the device at 0x51 did not answer"
    assert (raised.value.address, raised.value.errno) == (0x51, errno.ENXIO)


@pytest.mark.parametrize("name", [2, "sim:9", "no such serial"])
def test_open_refuses_a_board_that_is_not_there(name):
    with pytest.raises(ksthid.NotFound, match=str(name)):
        ksthid.open(name)


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda b: b.i2c.read(0x80, 0, 1), "I2C address 0x80 is out of range 0x00 to 0x7F"),
        (lambda b: b.i2c.read(0x50, None, 63), "byte count 63 is out of range 1 to 62"),
        (lambda b: b.i2c.read(0x50, 0xFA, 10), "register 0xFA plus 10 bytes exceeds 255"),
        (lambda b: b.i2c.write(0x50, 1, bytes(59)), "I2C data holds 59 bytes; 1 to 58"),
        (lambda b: b.i2c.write(0x50, None, bytes(60)), "I2C data holds 60 bytes; 1 to 59"),
        (lambda b: b.i2c.write(0x50, 0, [256]), "every byte must be 0 to 255"),
        (lambda b: b.spi.transfer(b""), "SPI data holds 0 bytes; 1 to 57"),
        (lambda b: setattr(b.spi, "options", 8), "SPI options 8 is out of range 0 to 7"),
        (lambda b: b.spi.transfer(b"1", parameter=256), "SPI parameter 256 is out of range"),
        # Refused by the library itself, which names the argument.
        (lambda b: b.call(library.ksthid_leds_write, 9), "leds 9 is out of range: 0 to 3"),
        (lambda b: b.gpio.set(0, 256), "second value byte 256"),
        (lambda b: b.led(2), "LED number 2 is out of range 0 to 1"),
        (
            lambda b: b.i2c.read(0x50, -1, 1),
            "register -0x01 is out of range 0x00 to 0xFF; None sends none",
        ),
    ],
)
def test_bad_arguments_are_refused_before_any_report(board, reports_written, call, message):
    with pytest.raises(ValueError, match=re.escape(message)):
        call(board)
    assert reports_written() == []
    board.gpio.set(0, 0)
    assert len(reports_written()) == 1


def test_a_board_serves_several_threads_at_once(board, rng):
    blocks = {register: rng.randbytes(8) for register in range(0, 256 - 8, 8)}

    def round_trip(register):
        data = blocks[register]
        board.i2c.write(0x50, register, data)
        return board.i2c.read(0x50, register, 8) == data

    with ThreadPoolExecutor(max_workers=4) as pool:
        assert all(pool.map(round_trip, range(0, 256 - 8, 8)))


def test_close_waits_for_a_call_running_in_another_thread():
    board = ksthid.open(0)
    entered, release = threading.Event(), threading.Event()

    def blocking(_handle):
        entered.set()
        release.wait()
        return 0

    with ThreadPoolExecutor(max_workers=2) as pool:
        running = pool.submit(board.call, blocking)
        entered.wait()
        closing = pool.submit(board.close)
        while not _refused(board):
            pass
        assert not closing.done()
        release.set()
        assert running.result() == 0 and closing.result() is None


def _refused(board):
    try:
        board.call(lambda _handle: 0)
    except ValueError:
        return True
    return False


def test_a_closed_board_refuses_calls():
    with ksthid.open(0) as board:
        pass
    with pytest.raises(ValueError, match="board sim:0 is closed"):
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
kGone = "5 BoardGone 'sim:0 was pulled out'"


@pytest.mark.parametrize(
    "call, retries",
    [
        # The board takes five reports, then is pulled out; the other goes on.
        ("board.gpio.set(1, 0)", 0),
        ("board.i2c.read(0x50, 0, 4)", 0),
        # Retries serve a lost answer, not a board that is gone.
        ("board.gpio.set(1, 0)", 1),
    ],
)
def test_a_board_pulled_out_mid_call_raises(call, retries):
    environment = dict(os.environ, KSTHID_SIMULATE="2", KSTHID_SIMULATE_UNPLUG_AFTER="5")
    del environment["KSTHID_TRACE"]
    ended = subprocess.run(
        [sys.executable, "-c", _UNPLUGGED.format(call=call), str(retries)],
        env=environment,
        capture_output=True,
        text=True,
        timeout=30,
    )
    assert ended.stdout.splitlines() == [kGone, "other done"]


@pytest.fixture
def unplugged():
    """Pulls sim:1 out for the test; plugged in again after it."""
    yield lambda: ksthid.unplug_virtual("sim:1")
    ksthid.plug_in_virtual("sim:1")


def test_a_board_pulled_out_stays_gone_and_opens_again_by_serial(unplugged):
    board = ksthid.open("sim:1")
    unplugged()
    ksthid.plug_in_virtual("sim:1")
    with pytest.raises(ksthid.BoardGone, match="sim:1 was pulled out"):
        board.gpio.set(0, 0)
    board.close()
    with ksthid.open(board.serial) as again:
        again.gpio.set(0x12, 0x34)
        assert again.gpio.value == (0x12, 0x34)


def test_a_monitor_reports_departures_and_arrivals(unplugged):
    serial = ksthid.boards()[1].serial
    with ksthid.monitor(timeout=5) as events:
        unplugged()
        ksthid.plug_in_virtual("sim:1")
        seen = [(e.kind, e.board.path, e.board.serial) for e in itertools.islice(events, 2)]
    assert seen == [(ksthid.LEFT, "sim:1", serial), (ksthid.ARRIVED, "sim:1", serial)]


def test_a_monitor_ends_its_iteration_once_its_timeout_passes_quietly():
    with ksthid.monitor(timeout=0.05) as events:
        assert list(events) == [] and events.next_event(0) is None
    with pytest.raises(ValueError, match="the monitor is closed"):
        events.next_event(0)


@pytest.mark.parametrize(
    "results, retries, outcome",
    [
        ([-5, 0], 1, 0),
        ([-8, -5, 7], 2, 7),
        ([-5, -5], 1, ksthid.Timeout),
        # A board pulled out stays gone: no retry.
        ([-4, 0], 1, ksthid.BoardGone),
    ],
)
def test_retries_repeat_a_call_whose_answer_was_lost(results, retries, outcome):
    answers = iter(results)
    with ksthid.open(0, retries=retries) as board:
        if isinstance(outcome, int):
            assert board.call(lambda _handle: next(answers)) == outcome
        else:
            with pytest.raises(outcome):
                board.call(lambda _handle: next(answers))


@pytest.mark.parametrize(
    "call, kind, message",
    [
        (lambda b: b.set_led(0, "no"), TypeError, "LED state must be True or False, not 'no'"),
        (lambda b: b.gpio.configure(1, 2, 5), TypeError, "GPIO flag must be True or False"),
        (lambda b: ksthid.open("sim:0\x00x"), ValueError, "board name 'sim:0\\x00x' holds a NUL"),
        (lambda b: ksthid.open(None), TypeError, "board index must be an integer"),
        (lambda b: ksthid.unplug_virtual(None), TypeError, "virtual board path must be a str"),
        (lambda b: ksthid.monitor("x"), TypeError, "timeout must be a number of seconds or None"),
    ],
)
def test_arguments_of_the_wrong_kind_are_refused(board, reports_written, call, kind, message):
    with pytest.raises(kind, match=re.escape(message)):
        call(board)
    assert reports_written() == []


def test_a_wrong_timeout_is_refused_by_a_monitor_already_open():
    with ksthid.monitor() as events:
        with pytest.raises(TypeError, match="timeout must be a number"):
            events.next_event("x")


def test_a_closed_board_cannot_be_entered_again():
    board = ksthid.open(0)
    board.close()
    with pytest.raises(ValueError, match="board sim:0 is closed"):
        with board:
            pass


def test_leds_set_from_two_threads_both_change(board):
    barrier = threading.Barrier(2)

    def switch(number):
        barrier.wait()
        for on in [True, False] * 25 + [True]:
            board.set_led(number, on)

    for _ in range(4):
        board.leds = 0
        with ThreadPoolExecutor(max_workers=2) as pool:
            list(pool.map(switch, [0, 1]))
        assert board.leds == 0b11


def test_a_library_that_is_not_ksthid_is_named_in_the_import_error():
    environment = dict(os.environ, KSTHID_LIBRARY=ctypes.util.find_library("c"))
    ended = subprocess.run(
        [sys.executable, "-c", "import ksthid"],
        env=environment,
        capture_output=True,
        text=True,
        timeout=30,
    )
    assert "ImportError: cannot load the ksthid library" in ended.stderr
    assert "not the ksthid library, or an older one: no ksthid_strerror" in ended.stderr
