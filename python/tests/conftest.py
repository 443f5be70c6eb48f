"""Two virtual boards and a packet trace for the whole session: the library
reads both settings once, at the first connect in the process."""

import os
import tempfile
from pathlib import Path
from typing import Callable, Iterator, List

import pytest

_trace = tempfile.NamedTemporaryFile(prefix="ksthid-python-", suffix=".trace", delete=False)
_trace.close()
os.environ["KSTHID_SIMULATE"] = "2"
os.environ["KSTHID_TRACE"] = _trace.name
os.environ.pop("KSTHID_SIMULATE_UNPLUG_AFTER", None)

import ksthid  # noqa: E402 - after the environment it reads


def pytest_sessionfinish() -> None:
    Path(_trace.name).unlink(missing_ok=True)


@pytest.fixture
def board() -> Iterator[ksthid.Board]:
    with ksthid.open(0) as opened:
        yield opened


@pytest.fixture
def reports_written() -> Callable[[], List[str]]:
    """The reports written since the test began, from the packet trace."""
    trace = Path(_trace.name)
    start = trace.stat().st_size

    def written() -> List[str]:
        with trace.open() as lines:
            lines.seek(start)
            return [line for line in lines if line.split()[1] == "W"]

    return written
