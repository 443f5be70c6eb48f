"""Two virtual boards and a packet trace for the session, whose chip lines
("C sim:0 dvr=160 eeprom=0") show the register: the library reads both
settings once, at the first connect in the process."""

import os
import re
import tempfile
from pathlib import Path
from typing import Callable, Iterator, NamedTuple

import pytest

_trace = tempfile.NamedTemporaryFile(prefix="qv6180-python-", suffix=".trace", delete=False)
_trace.close()
os.environ["KSTHID_SIMULATE"] = "2"
os.environ["KSTHID_TRACE"] = _trace.name
os.environ.pop("KSTHID_SIMULATE_UNPLUG_AFTER", None)

import ksthid  # noqa: E402 - after the environment it reads

kChipLine = re.compile(r"^\d+ C (\S+) dvr=(\d+) eeprom=(\d+)$")


class Seen(NamedTuple):
    dvr: int
    eeprom: int
    written: int


def pytest_sessionfinish() -> None:
    Path(_trace.name).unlink(missing_ok=True)


@pytest.fixture
def board() -> Iterator[ksthid.Board]:
    with ksthid.open("sim:0") as opened:
        yield opened


@pytest.fixture
def chip_seen() -> Callable[[], Seen]:
    """The register and EEPROM of sim:0's chip as last traced, and the reports
    written to sim:0 since the test began."""
    start = Path(_trace.name).stat().st_size

    def seen() -> Seen:
        dvr = eeprom = -1
        written = 0
        with open(_trace.name) as lines:
            for number, line in enumerate(lines):
                chip = kChipLine.match(line.strip())
                if chip and chip.group(1) == "sim:0":
                    dvr, eeprom = int(chip.group(2)), int(chip.group(3))
            lines.seek(start)
            written = sum(1 for line in lines if line.split()[1:3] == ["W", "sim:0"])
        return Seen(dvr, eeprom, written)

    return seen
