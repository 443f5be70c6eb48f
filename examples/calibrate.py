"""A VCOM calibration loop to adapt: finds the DVR value at which a panel
flickers least, brings the QV6180's register there and stores it.

    KSTHID_SIMULATE=1 python3 calibrate.py [BOARD]

Replace ``flicker`` with a reading from your instrument (a flicker meter on
pyvisa, a photodiode on a serial port). The search narrows the range down by
golden sections; between trials it steps the register from the value it knows
is there, which takes a few USB reports where a full send takes hundreds. The value found is then sent in full, from the end of the range,
before it is stored: only a full send does not depend on knowing the register.
"""

import sys
from typing import Dict

import ksthid
import qv6180

# The divider on the board, for showing VCOM: AVDD, Rset, R1, R2.
kDivider = (18.0, 10000.0, 24900.0, 39200.0)
# The share of the interval left out at each end of a golden-section step: (3 - sqrt(5)) / 2.
kGoldenSection = 0.381966


def flicker(chip: qv6180.Chip, dvr: int) -> float:
    """The stand-in for an instrument: a panel whose flicker is least at a
    VCOM of 10.3 V, read with the register at ``dvr``."""
    vcom, _iout, _vrset = qv6180.readouts(*kDivider, dvr)
    return abs(vcom - 10.3)


def calibrate(chip: qv6180.Chip) -> int:
    """A golden-section search for the least flicker over the register's
    range, about a dozen trials; the flicker is taken to fall to one least
    value and rise after it."""
    readings: Dict[int, float] = {}
    known = qv6180.DVR_MIN
    chip.send(known)  # from here on the register's value is known

    def trial(dvr: int) -> float:
        nonlocal known
        if dvr not in readings:
            chip.step(known, dvr)
            known = dvr
            readings[dvr] = flicker(chip, dvr)
        return readings[dvr]

    low, high = qv6180.DVR_MIN, qv6180.DVR_MAX
    while high - low > 2:
        span = round((high - low) * kGoldenSection)
        lower, upper = low + span, high - span
        if lower >= upper:
            break
        if trial(lower) < trial(upper):
            high = upper - 1
        elif trial(lower) > trial(upper):
            low = lower + 1
        else:
            low, high = lower, upper
    best = min(range(low, high + 1), key=trial)
    print(f"{len(readings)} trials; the least flicker at DVR {best} (0x{best:02X})")

    chip.send(best)
    chip.store()
    vcom, _iout, _vrset = qv6180.readouts(*kDivider, best)
    print(f"DVR {best} sent in full and stored: VCOM {vcom:.3f} V")
    return best


def main() -> None:
    board = sys.argv[1] if len(sys.argv) > 1 else 0
    with ksthid.open(board) as opened:
        calibrate(qv6180.Chip(opened))


if __name__ == "__main__":
    main()
