"""The checks of the package's arguments: each refuses a wrong value before
anything reaches the board, saying what is wrong."""

from __future__ import annotations

from typing import Iterable, Union

Bytes = Union[bytes, bytearray, memoryview, Iterable[int]]


def _hex(number: int) -> str:
    return f"-0x{-number:02X}" if number < 0 else f"0x{number:02X}"


def checked(
    name: str, value: int, bounds: tuple[int, int], as_hex: bool = False, hint: str = ""
) -> int:
    """``value`` when it is an integer within ``bounds``; a ValueError that
    says what is wrong otherwise, before anything reaches the board."""
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{name} must be an integer, not {type(value).__name__}")
    low, high = bounds
    if not low <= value <= high:
        shown = _hex if as_hex else str
        raise ValueError(
            f"{name} {shown(value)} is out of range {shown(low)} to {shown(high)}{hint}"
        )
    return value


def checked_flag(name: str, value: bool) -> bool:
    """``value`` as a flag: True or False (or 1 or 0); a TypeError otherwise,
    so that a word such as "no" is not taken for yes."""
    if isinstance(value, bool):
        return value
    if isinstance(value, int) and value in (0, 1):
        return bool(value)
    raise TypeError(f"{name} must be True or False, not {value!r}")


def library_name(what: str, name: str) -> bytes:
    """A name for the library: a str without NUL characters, which would cut
    it short there."""
    if not isinstance(name, str):
        raise TypeError(f"{what} must be a str, not {type(name).__name__}")
    if "\0" in name:
        raise ValueError(f"{what} {name!r} holds a NUL character")
    return name.encode()


def byte_string(name: str, data: Bytes, most: int) -> bytes:
    """``data`` as the bytes of one report, or the error that says why not."""
    if isinstance(data, int):  # bytes(n) would make n zero bytes
        raise TypeError(f"{name} must be bytes or a sequence of byte values, not an integer")
    try:
        payload = bytes(data)
    except ValueError as error:
        raise ValueError(f"{name}: every byte must be 0 to 255") from error
    if not 1 <= len(payload) <= most:
        raise ValueError(f"{name} holds {len(payload)} bytes; 1 to {most} fit one report")
    return payload
