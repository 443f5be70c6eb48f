"""Two virtual boards and a packet trace for the whole session: the library
reads both settings once, at the first connect in the process."""

import os
import random
import secrets
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


@pytest.fixture
def rng(request) -> random.Random:
    """Random data that a failure can replay: the seed is shown with the
    failure, and KSTHID_TEST_SEED set to it gives the same data again."""
    seed = int(os.environ.get("KSTHID_TEST_SEED") or secrets.randbits(32))
    request.node.random_seed = seed
    return random.Random(seed)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    seed = getattr(item, "random_seed", None)
    if report.failed and seed is not None:
        report.sections.append(("random data", f"KSTHID_TEST_SEED={seed} replays it"))
