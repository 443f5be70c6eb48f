"""``python3 -m ksthid list``: the boards found, one a line."""

from __future__ import annotations

import argparse
import sys
from typing import List, Optional

from . import KsthidError, boards


def main(arguments: Optional[List[str]] = None) -> int:
    parser = argparse.ArgumentParser(prog="python3 -m ksthid", description=__doc__)
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("list", help="list the boards: index, path and firmware version")
    parser.parse_args(arguments)
    try:
        found = boards()
    except KsthidError as error:
        print(f"ksthid: {error}", file=sys.stderr)
        return 1
    if not found:
        print("no board found", file=sys.stderr)
    for board in found:
        print(f"{board.index}\t{board.path or '?'}\t{board.version}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
