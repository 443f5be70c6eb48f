"""A VCOM calibration loop to adapt: finds the DVR value at which a panel
flickers least, brings the QV6180's register there and stores it.

    KSTHID_SIMULATE=1 python3 calibrate.py [BOARD]

Replace ``flicker`` with a reading from your instrument (a flicker meter on
pyvisa, a photodiode on a serial port). The search tries a coarse sweep, then
narrows in on the best value; between trials it steps the register from the
value it knows is there, which takes a few USB reports where a full send takes
hundreds. The value found is then sent in full, from the end of the range,
before it is stored: only a full send does not depend on knowing the register.
"""

import sys
from typing import Dict

import ksthid
import qv6180

# The divider on the board, for showing VCOM: AVDD, Rset, R1, R2.
kDivider = (18.0, 10000.0, 24900.0, 39200.0)
kCoarseStep = 32


def flicker(chip: qv6180.Chip, dvr: int) -> float:
    """The stand-in for an instrument: a panel whose flicker is least at a
    VCOM of 10.3 V, read with the register at ``dvr``."""
    vcom, _iout, _vrset = qv6180.readouts(*kDivider, dvr)
    return abs(vcom - 10.3)


def calibrate(chip: qv6180.Chip) -> int:
    readings: Dict[int, float] = {}
    known = 0
    chip.send(known)  # from here on the register's value is known

    def trial(dvr: int) -> float:
        nonlocal known
        if dvr not in readings:
            chip.step(known, dvr)
            known = dvr
            readings[dvr] = flicker(chip, dvr)
        return readings[dvr]

    # A coarse sweep, then halving the step around the best value so far.
    best = min(range(qv6180.DVR_MIN, qv6180.DVR_MAX + 1, kCoarseStep), key=trial)
    step = kCoarseStep // 2
    while step >= 1:
        around = [d for d in (best - step, best, best + step) if qv6180.DVR_MIN <= d <= qv6180.DVR_MAX]
        best = min(around, key=trial)
        step //= 2
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
