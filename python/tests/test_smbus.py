"""SMBus and i2c_msg as scripts written for smbus2 use them, against the
virtual board's 256-byte EEPROM at 0x50."""

import errno
import inspect

import pytest

import ksthid
from ksthid import I2cFunc, SMBus, i2c_msg
from ksthid.smbus import pec_of

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
def test_eeprom_reads_back_what_a_block_write_stored(bus, rng, read, register):
    data = list(rng.randbytes(16))
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
def test_eeprom_stores_what_each_write_sends(bus, rng, write):
    data = list(rng.randbytes(4))
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
        lambda bus: bus.read_i2c_block_data(kEeprom, 0, 0),
        lambda bus: bus.write_i2c_block_data(kEeprom, 0, bytes(33)),
    ],
)
def test_blocks_beyond_1_to_32_bytes_are_refused_as_smbus2_does(bus, reports_written, call):
    with pytest.raises(ValueError, match="32 bytes"):
        call(bus)
    assert reports_written() == []


def test_a_bus_on_an_open_board_leaves_it_open(board):
    with SMBus(board) as bus:
        bus.write_byte_data(kEeprom, 0, 0x5A)
    assert board.i2c.read(kEeprom, 0, 1) == b"\x5a"
    with pytest.raises(OSError) as raised:
        bus.read_byte(kEeprom)
    assert raised.value.errno == errno.EBADF


def _signatures(kind, special):
    """The parameters (name, kind, default) of each method of a class and
    its properties, by name; of the special methods, those named."""
    found = {}
    for name, member in inspect.getmembers(kind):
        if name.startswith("__") and name not in special:
            continue
        if isinstance(member, property):
            found[name] = "property"
        elif callable(member):
            parameters = inspect.signature(member).parameters.values()
            found[name] = [(p.name, p.kind, p.default) for p in parameters]
    return found


# smbus2's i2c_msg is a ctypes structure, made by ctypes' own constructor.
@pytest.mark.parametrize(
    "ours, name, special",
    [
        (SMBus, "SMBus", {"__init__", "__enter__", "__exit__"}),
        (i2c_msg, "i2c_msg", {"__iter__", "__len__", "__bytes__", "__repr__", "__str__"}),
    ],
)
def test_the_surface_is_smbus2s(ours, name, special):
    smbus2 = pytest.importorskip("smbus2")
    theirs = getattr(smbus2, name)
    mine = _signatures(ours, special)
    assert {n: s for n, s in _signatures(theirs, special).items() if mine.get(n) != s} == {}
    if name == "SMBus":
        assert set(vars(theirs())) <= set(vars(ours()))


def test_funcs_tell_what_the_bridge_makes(bus):
    assert SMBus().funcs == 0
    assert bus.funcs & (I2cFunc.I2C | I2cFunc.SMBUS_PEC | I2cFunc.SMBUS_WRITE_BLOCK_DATA)
    missing = I2cFunc.SMBUS_QUICK | I2cFunc.SMBUS_PROC_CALL | I2cFunc.SMBUS_READ_BLOCK_DATA
    assert not bus.funcs & (missing | I2cFunc.SMBUS_BLOCK_PROC_CALL)


@pytest.mark.parametrize(
    "call",
    [
        lambda bus: bus.write_quick(kEeprom),
        lambda bus: bus.process_call(kEeprom, 0, 0x1234),
        lambda bus: bus.read_block_data(kEeprom, 0),
        lambda bus: bus.block_process_call(kEeprom, 0, [1, 2]),
    ],
)
def test_what_the_bridge_cannot_make_raises_eopnotsupp(bus, reports_written, call):
    with pytest.raises(OSError) as raised:
        call(bus)
    assert raised.value.errno == errno.EOPNOTSUPP and reports_written() == []


def test_i2c_rdwr_without_messages_is_einval(bus):
    with pytest.raises(OSError) as raised:
        bus.i2c_rdwr()
    assert raised.value.errno == errno.EINVAL


def test_a_block_write_sends_its_count_first(bus):
    bus.write_block_data(kEeprom, 0x60, [7, 8, 9])
    assert bus.read_i2c_block_data(kEeprom, 0x60, 4) == [3, 7, 8, 9]
    with pytest.raises(OSError) as raised:
        bus.write_block_data(kEeprom, 0x60, [])
    assert raised.value.errno == errno.EPROTO


def test_pec_is_smbus_crc8():
    # The check value of CRC-8/SMBUS.
    assert pec_of(b"123456789") == 0xF4


def test_with_pec_a_write_carries_it_and_a_read_checks_it(bus):
    write, read = kEeprom << 1, kEeprom << 1 | 1
    bus.pec = True
    bus.write_byte_data(kEeprom, 0x70, 0xA5)
    assert bus.pec == 1
    bus.pec = False
    assert bus.read_i2c_block_data(kEeprom, 0x70, 2) == [0xA5, pec_of([write, 0x70, 0xA5])]
    # The EEPROM answers the byte after as its PEC.
    bus.write_i2c_block_data(kEeprom, 0x70, [0xA5, pec_of([write, 0x70, read, 0xA5])])
    bus.enable_pec()
    assert bus.read_byte_data(kEeprom, 0x70) == 0xA5
    bus.enable_pec(False)
    bus.write_i2c_block_data(kEeprom, 0x70, [0xA5, 0])
    bus.enable_pec()
    with pytest.raises(OSError) as raised:
        bus.read_byte_data(kEeprom, 0x70)
    assert raised.value.errno == errno.EBADMSG


def test_pec_needs_an_open_bus():
    with pytest.raises(OSError, match="SMBUS_PEC is not a feature"):
        SMBus().enable_pec()
