"""A bridge firmware on a USB HID gadget's /dev/hidgN that answers every
request with garbage in turn: a report cut short, one with a foreign report
ID, an I2C status no firmware defines. Usage: hostile_firmware.py NODE"""
import itertools
import os
import sys

REPORT = 64


def garbage():
    short = bytes([1, 0, 0xA5, 0x5A])
    foreign_id = bytes([0x55, 0, 0xA5, 0x5A]) + bytes(REPORT - 4)
    unknown_status = bytes([1, 0x77]) + bytes(REPORT - 2)
    return itertools.cycle([short, foreign_id, unknown_status])


def main():
    node = os.open(sys.argv[1], os.O_RDWR)
    for answer in garbage():
        os.read(node, REPORT)
        os.write(node, answer)


if __name__ == "__main__":
    main()
