"""One of several programs on one board at once, through the real kernel:
each round writes bytes of its own to the board's EEPROM through SMBus and
reads them back, so an answer meant for another program shows as bytes this
one did not write last.

Usage: python3 own_eeprom.py SERIAL OFFSET ROUNDS
ROUNDS 0 runs until killed. Prints "Python at OFFSET: N rounds, W wrong,
F failed"; exits 0 only when W and F are 0.
"""

import itertools
import sys

import ksthid

EEPROM = 0x50


def main() -> int:
    serial, offset, rounds = sys.argv[1], int(sys.argv[2], 0), int(sys.argv[3])
    wrong = failed = done = 0
    with ksthid.SMBus(serial) as bus:
        for done in itertools.count(1) if rounds == 0 else range(1, rounds + 1):
            written = [offset, done & 0xFF, done >> 8 & 0xFF, 0xA5 ^ offset]
            try:
                bus.write_i2c_block_data(EEPROM, offset, written)
                read = bus.read_i2c_block_data(EEPROM, offset, len(written))
            except OSError:
                failed += 1
                continue
            wrong += read != written
    print(f"Python at 0x{offset:02X}: {done} rounds, {wrong} wrong, {failed} failed")
    return 0 if wrong == 0 and failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
