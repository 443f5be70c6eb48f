"""SMBus and i2c_msg as scripts written for smbus2 use them, against the
virtual board's 256-byte EEPROM at 0x50."""

import errno
import os

import pytest

from ksthid import SMBus, i2c_msg

kEeprom = 0x50
kAbsent = 0x51


@pytest.fixture
def bus():
    with SMBus(0) as opened:
        yield opened


def _rdwr_register_read(bus, register, length):
    command, answer = i2c_msg.write(kEeprom, [register]), i2c_msg.read(kEeprom, length)
    bus.i2c_rdwr(command, answer)
    assert answer.len == length and bytes(answer) == bytes(answer.buf)
    return list(answer)


def _pointer_then_bytes(bus, register, length):
    bus.write_byte(kEeprom, register)
    return [bus.read_byte(kEeprom) for _ in range(length)]


@pytest.mark.parametrize(
    "read",
    [
        lambda bus, register, length: bus.read_i2c_block_data(kEeprom, register, length),
        lambda bus, register, length: [
            bus.read_byte_data(kEeprom, register + i) for i in range(length)
        ],
        _rdwr_register_read,
        _pointer_then_bytes,
    ],
)
# 0xF0 + 16 runs past 255: the command then goes in a write of its own.
@pytest.mark.parametrize("register", [0x10, 0xF0])
def test_eeprom_reads_back_what_a_block_write_stored(bus, read, register):
    data = list(os.urandom(16))
    bus.write_i2c_block_data(kEeprom, register, data)
    assert read(bus, register, 16) == data


@pytest.mark.parametrize(
    "write",
    [
        lambda bus, register, data: bus.write_i2c_block_data(kEeprom, register, data),
        lambda bus, register, data: [
            bus.write_byte_data(kEeprom, register + i, d) for i, d in enumerate(data)
        ],
        lambda bus, register, data: bus.i2c_rdwr(i2c_msg.write(kEeprom, [register, *data])),
    ],
)
def test_eeprom_stores_what_each_write_sends(bus, write):
    data = list(os.urandom(4))
    write(bus, 0x40, data)
    assert bus.read_i2c_block_data(kEeprom, 0x40, 4) == data


def test_words_go_low_byte_first(bus):
    bus.write_word_data(kEeprom, 0x20, 0xBEEF)
    assert bus.read_i2c_block_data(kEeprom, 0x20, 2) == [0xEF, 0xBE]
    assert bus.read_word_data(kEeprom, 0x20) == 0xBEEF


@pytest.mark.parametrize(
    "call",
    [
        lambda bus: bus.read_byte(kAbsent),
        lambda bus: bus.write_byte(kAbsent, 0),
        lambda bus: bus.read_byte_data(kAbsent, 0),
        lambda bus: bus.write_byte_data(kAbsent, 0, 0),
        lambda bus: bus.read_word_data(kAbsent, 0),
        lambda bus: bus.read_i2c_block_data(kAbsent, 0, 8),
        lambda bus: bus.i2c_rdwr(i2c_msg.read(kAbsent, 1)),
    ],
)
def test_an_absent_device_raises_os_error_enxio(bus, call):
    with pytest.raises(OSError) as raised:
        call(bus)
    assert raised.value.errno == errno.ENXIO


@pytest.mark.parametrize(
    "messages",
    [
        [i2c_msg.read(kEeprom, 63)],
        [i2c_msg.write(kEeprom, bytes(60))],
        [i2c_msg.write(kEeprom, [0, 0]), i2c_msg.read(kEeprom, 1)],
        [i2c_msg.write(kEeprom, [0]), i2c_msg.read(0x20, 1)],
        [i2c_msg.write(kEeprom, [0])] * 3,
    ],
)
def test_transfers_beyond_one_bridge_transaction_raise_eopnotsupp(bus, messages):
    with pytest.raises(OSError) as raised:
        bus.i2c_rdwr(*messages)
    assert raised.value.errno == errno.EOPNOTSUPP


@pytest.mark.parametrize(
    "call",
    [
        lambda bus: bus.read_i2c_block_data(kEeprom, 0, 33),
        lambda bus: bus.write_i2c_block_data(kEeprom, 0, bytes(33)),
    ],
)
def test_blocks_over_32_bytes_are_refused_as_smbus2_does(bus, call):
    with pytest.raises(ValueError, match="32 bytes"):
        call(bus)


def test_a_bus_on_an_open_board_leaves_it_open(board):
    with SMBus(board) as bus:
        bus.write_byte_data(kEeprom, 0, 0x5A)
    assert board.i2c.read(kEeprom, 0, 1) == b"\x5a"
    with pytest.raises(OSError) as raised:
        bus.read_byte(kEeprom)
    assert raised.value.errno == errno.EBADF
