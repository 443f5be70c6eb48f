"""The device path of each board, which the library's exports do not give.

On Linux the library takes the hidraw nodes in the order of their numbers,
keeps those of bridges that it can open, and puts the virtual boards of
KSTHID_SIMULATE behind them; a later connect keeps the boards it knew in
their order and appends new ones. This module follows the same rules with
what sysfs tells every user. The paths are trusted only when they are as many
as the boards the library found; otherwise, and on Windows, they are None.
"""

from __future__ import annotations

import os
import re
import threading
from pathlib import Path
from typing import List, Optional

kBridgeHidId = re.compile(r"^HID_ID=[0-9A-Fa-f]+:0*3A5C:0*4B17$", re.MULTILINE)
kMaxSimulatedBoards = 16

_known = threading.local()


def _hidraw_bridges(sys_root: Path = Path("/sys"), dev_root: Path = Path("/dev")) -> List[str]:
    nodes = []
    for entry in (sys_root / "class" / "hidraw").glob("hidraw*"):
        number = entry.name[len("hidraw") :]
        try:
            uevent = (entry / "device" / "uevent").read_text()
        except OSError:
            continue
        node = dev_root / entry.name
        if number.isdigit() and kBridgeHidId.search(uevent) and os.access(node, os.R_OK | os.W_OK):
            nodes.append((int(number), str(node)))
    return [path for _number, path in sorted(nodes)]


def _simulated() -> List[str]:
    setting = os.environ.get("KSTHID_SIMULATE", "")
    count = int(setting) if setting.isdigit() and int(setting) <= kMaxSimulatedBoards else 0
    return [f"sim:{board}" for board in range(count)]


def after_connect(count: int) -> List[Optional[str]]:
    """The paths of the calling thread's boards after a connect that found
    ``count`` of them, by board index."""
    if os.name == "nt":
        return [None] * count
    present = _hidraw_bridges() + _simulated()
    known = [path for path in getattr(_known, "paths", []) if path in present]
    paths = known + [path for path in present if path not in known]
    _known.paths = paths
    return list(paths) if len(paths) == count else [None] * count
