"""``python3 -m ksthid list``: the boards found, one a line."""

from __future__ import annotations

import argparse
import sys
from typing import List, Optional

from . import KsthidError, boards, open


def _state(found) -> str:
    """The firmware version of a board that opens, else why it does not."""
    if found.error:
        return found.error_text
    try:
        with open(found) as board:
            return board.version
    except KsthidError as error:
        return error.text


def main(arguments: Optional[List[str]] = None) -> int:
    parser = argparse.ArgumentParser(prog="python3 -m ksthid", description=__doc__)
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser(
        "list",
        help="list the boards as `ksthid list` does: index, path, serial number, firmware "
        "version and product; a dash for the index, and why, of a board that cannot be opened",
    )
    parser.parse_args(arguments)
    try:
        found = boards()
    except KsthidError as error:
        print(f"ksthid: {error.text}", file=sys.stderr)
        return 1
    if not found:
        print("no board found", file=sys.stderr)
    index = 0
    for board in found:
        print(
            f"{'-' if board.error else index}\t{board.path}\t{board.serial or '-'}"
            f"\t{_state(board)}\t{board.product}"
        )
        index += 0 if board.error else 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
