"""What the kernel test does on a claimed board's /dev/i2c-N with Debian's
smbus2, one subcommand per case; exits non-zero when it sees otherwise.

  eeprom N          the EEPROM script of ksthid.SMBus, and SMBus byte/word
  absent N          a read from an absent address: no acknowledge (ENXIO)
  own N WHO         WHO reads its own device 300 times; every answer its own
  hostile N KIND    through a hostile firmware: every call fails or answers
                    right, none hangs; one of garbage never answers right
  late N            a firmware answering late: the time-out, then the right
                    answer to the next call
  pull N CABLE      pulls the cable while reading: the calls end at once
"""
import errno
import sys
import time

from smbus2 import SMBus, i2c_msg

EEPROM = 0x50
REGISTER_FILE = 0x20


def eeprom(bus):
    bus.write_i2c_block_data(EEPROM, 0x10, [0xA5, 0x5A])
    assert bus.read_i2c_block_data(EEPROM, 0x10, 2) == [0xA5, 0x5A]
    bus.write_byte_data(REGISTER_FILE, 3, 0x7E)
    assert bus.read_byte_data(REGISTER_FILE, 3) == 0x7E
    bus.write_word_data(REGISTER_FILE, 4, 0xBEEF)
    assert bus.read_word_data(REGISTER_FILE, 4) == 0xBEEF
    # The longest transfers one report carries: 58 bytes after a register, 62 read.
    data = list(range(58))
    bus.i2c_rdwr(i2c_msg.write(EEPROM, [0x40] + data))
    write, read = i2c_msg.write(EEPROM, [0x40]), i2c_msg.read(EEPROM, 62)
    bus.i2c_rdwr(write, read)
    assert list(read)[:58] == data
    for too_long in ([i2c_msg.write(EEPROM, [0] * 60)], [i2c_msg.read(EEPROM, 63)],
                     [i2c_msg.write(EEPROM, [0, 0]), i2c_msg.read(EEPROM, 1)]):
        expect_error(lambda: bus.i2c_rdwr(*too_long), errno.EOPNOTSUPP)


def expect_error(call, *codes):
    try:
        call()
    except OSError as error:
        assert error.errno in codes, f"errno {error.errno}, not {codes}"
        return error.errno
    raise AssertionError(f"no error, expected {codes}")


def absent(bus):
    expect_error(lambda: bus.read_byte_data(0x51, 0), errno.ENXIO)
    expect_error(lambda: bus.write_byte(0x51, 0), errno.ENXIO)


def own(bus, who):
    address, start = (EEPROM, 0x80) if who == "eeprom" else (REGISTER_FILE, 8)
    mine = [start ^ n for n in range(4)]
    bus.write_i2c_block_data(address, start, mine)
    for _ in range(300):
        assert bus.read_i2c_block_data(address, start, 4) == mine


def hostile(bus, kind):
    seen = set()
    for _ in range(12):
        started = time.monotonic()
        try:
            assert bus.read_i2c_block_data(EEPROM, 0x10, 2) == [0xA5, 0x5A]
            seen.add("answer")
        except OSError as error:
            seen.add(errno.errorcode[error.errno])
        assert time.monotonic() - started < 8, "a call waited past the firmware's time"
    print("seen:", ", ".join(sorted(seen)))
    if kind == "garbage":
        assert seen == {"EPROTO", "EIO"}, seen


def late(bus):
    started = time.monotonic()
    expect_error(lambda: bus.read_byte_data(EEPROM, 0x10), errno.ETIMEDOUT)
    print(f"timed out after {time.monotonic() - started:.1f} s")
    assert bus.read_i2c_block_data(EEPROM, 0x10, 2) == [0xA5, 0x5A]


def pull(bus, cable):
    for _ in range(20):
        bus.read_byte_data(EEPROM, 0x10)
    with open(cable, "w") as control:
        control.write("disconnect")
    pulled = time.monotonic()
    try:
        while time.monotonic() - pulled < 10:
            bus.read_byte_data(EEPROM, 0x10)
    except OSError as error:
        print(f"failed {1000 * (time.monotonic() - pulled):.0f} ms after the pull: "
              f"{errno.errorcode[error.errno]}")
        assert error.errno != errno.ETIMEDOUT
        return
    raise AssertionError("the reads went on after the pull")


def main():
    command, number = sys.argv[1], int(sys.argv[2])
    with SMBus(number) as bus:
        cases = {"eeprom": eeprom, "absent": absent, "late": late}
        with_argument = {"own": own, "hostile": hostile, "pull": pull}
        if command in cases:
            cases[command](bus)
        elif command in with_argument:
            with_argument[command](bus, sys.argv[3])
        else:
            sys.exit(__doc__)


if __name__ == "__main__":
    main()
