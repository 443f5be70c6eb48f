"""The kernel test's cases on a claimed board's /dev/i2c-N through Debian's
smbus2, in one process (Python starts slowly in the guest). Each case appends
"ok NAME" or "FAIL NAME" to RESULTS and tells what it saw on stdout.

Usage: i2c_client.py N RESULTS FIRMWARE CABLE
  FIRMWARE  a script that restarts the board's firmware with its arguments
            ("babble", a delay in ms, "stop", or none for a sound one)
  CABLE     the board's soft_connect file; the last case pulls the cable
"""
import errno
import itertools
import os
import subprocess
import sys
import time
import traceback

from smbus2 import SMBus, i2c_msg

EEPROM = 0x50
REGISTER_FILE = 0x20
REPORT = 64
# What a call may take at most: the firmware's time to answer and a late
# answer's, waited out first.
LONGEST_CALL_S = 13


def expect_error(call, *codes):
    try:
        call()
    except OSError as error:
        assert error.errno in codes, f"errno {error.errno}, not {codes}"
        return
    raise AssertionError(f"no error, expected {codes}")


def absent(bus):
    expect_error(lambda: bus.read_byte_data(0x51, 0), errno.ENXIO)
    expect_error(lambda: bus.write_byte(0x51, 0), errno.ENXIO)


def eeprom(bus):
    bus.write_i2c_block_data(EEPROM, 0x10, [0xA5, 0x5A])
    assert bus.read_i2c_block_data(EEPROM, 0x10, 2) == [0xA5, 0x5A]
    bus.write_byte_data(REGISTER_FILE, 3, 0x7E)
    assert bus.read_byte_data(REGISTER_FILE, 3) == 0x7E
    bus.write_word_data(REGISTER_FILE, 4, 0xBEEF)
    assert bus.read_word_data(REGISTER_FILE, 4) == 0xBEEF
    # The longest transfers of one report: 58 bytes after a register, 62 read.
    data = list(range(58))
    bus.i2c_rdwr(i2c_msg.write(EEPROM, [0x40] + data))
    write, read = i2c_msg.write(EEPROM, [0x40]), i2c_msg.read(EEPROM, 62)
    bus.i2c_rdwr(write, read)
    assert list(read)[:58] == data
    for refused in ([i2c_msg.write(EEPROM, [0] * 60)], [i2c_msg.read(EEPROM, 63)],
                    [i2c_msg.write(EEPROM, [0, 0]), i2c_msg.read(EEPROM, 1)]):
        expect_error(lambda: bus.i2c_rdwr(*refused), errno.EOPNOTSUPP)


def read_own(bus, address, start):
    mine = [start ^ n for n in range(4)]
    bus.write_i2c_block_data(address, start, mine)
    for _ in range(40):
        assert bus.read_i2c_block_data(address, start, 4) == mine


def two_processes(bus, number):
    child = os.fork()
    if child == 0:
        try:
            with SMBus(number) as own_bus:
                read_own(own_bus, REGISTER_FILE, 8)
            os._exit(0)
        except BaseException:
            os._exit(1)
    read_own(bus, EEPROM, 0x80)
    _, status = os.waitpid(child, 0)
    assert status == 0, "the other process got an answer not its own"


def hostile(bus):
    """Every call fails or is answered right; none waits past its time."""
    seen, written = set(), False
    for _ in range(8):
        started = time.monotonic()
        try:
            if written:
                assert bus.read_i2c_block_data(EEPROM, 0x10, 2) == [0xA5, 0x5A]
            else:
                bus.write_i2c_block_data(EEPROM, 0x10, [0xA5, 0x5A])
                written = True
            seen.add("answer")
        except OSError as error:
            seen.add(errno.errorcode[error.errno])
        assert time.monotonic() - started < LONGEST_CALL_S, "a call waited too long"
    print("seen:", ", ".join(sorted(seen)))
    return seen


def late(bus):
    """The write's answer comes after its time-out: the next call waits it
    out rather than take it for its own."""
    started = time.monotonic()
    expect_error(lambda: bus.write_i2c_block_data(EEPROM, 0x10, [0xA5, 0x5A]), errno.ETIMEDOUT)
    print(f"timed out after {time.monotonic() - started:.1f} s")
    assert bus.read_i2c_block_data(EEPROM, 0x10, 2) == [0xA5, 0x5A]


def serve_garbage():
    """A firmware answering every request with garbage in turn: a report cut
    short, one with a foreign report ID, an I2C status no firmware defines."""
    node = os.open("/dev/hidg0", os.O_RDWR)
    for answer in itertools.cycle([bytes([1, 0, 0xA5, 0x5A]),
                                   bytes([0x55, 0, 0xA5, 0x5A]) + bytes(REPORT - 4),
                                   bytes([1, 0x77]) + bytes(REPORT - 2)]):
        os.read(node, REPORT)
        os.write(node, answer)


def garbage(bus):
    server = os.fork()
    if server == 0:
        serve_garbage()
    time.sleep(0.3)
    try:
        seen = hostile(bus)
        assert seen == {"EPROTO", "EIO"}, seen
    finally:
        os.kill(server, 9)
        os.waitpid(server, 0)


def pull(bus, cable):
    for _ in range(10):
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
    number, results, firmware, cable = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]

    def restart(*arguments):
        subprocess.run(["bash", firmware, *arguments], check=True)
        time.sleep(0.3)

    cases = [
        ("an absent address is not acknowledged (ENXIO)", absent, None),
        ("smbus2: the EEPROM script, byte and word data, the longest transfers", eeprom, None),
        ("two processes on /dev/i2c-N get their own answers",
         lambda bus: two_processes(bus, number), None),
        ("a firmware that babbles", hostile, ("babble",)),
        ("a firmware that answers late: the time-out, then the right answer", late, ("2000",)),
        ("a firmware that answers garbage", garbage, ("stop",)),
        ("the cable pulled during transfers ends them", lambda bus: pull(bus, cable), ()),
    ]
    with SMBus(number) as bus, open(results, "a") as out:
        for name, case, firmware_arguments in cases:
            print(f"{name}:", flush=True)
            try:
                if firmware_arguments is not None:
                    restart(*firmware_arguments)
                case(bus)
                out.write(f"ok driver: {name}\n")
            except Exception:
                traceback.print_exc(file=sys.stdout)
                out.write(f"FAIL driver: {name}\n")
            out.flush()
            sys.stdout.flush()


if __name__ == "__main__":
    main()
