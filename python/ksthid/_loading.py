"""Finding and loading a library of this project for ctypes: ksthid, and
libqv6180 over it. Each is looked for in the same places, in the same order,
and an ImportError says where it was looked for."""

from __future__ import annotations

import ctypes
import ctypes.util
import importlib
import os
import sys
import sysconfig
from pathlib import Path
from typing import Iterable, List, Sequence, Tuple

Function = Tuple[str, object, list]


def file_name(stem: str) -> str:
    """The library's file name on this platform: qv6180.dll, libqv6180.so."""
    return f"{stem}.dll" if sys.platform == "win32" else f"lib{stem}.so"


def _candidates(stem: str, variable: str, package: str) -> Iterable[str]:
    """Where the library may be, in the order tried: the file or folder named
    by the variable alone; else the library installed with the package by
    CMake or the Debian package, the system's library path, the usual install
    folders, and last the plain name."""
    name = file_name(stem)
    named = os.environ.get(variable)
    if named:
        yield str(Path(named) / name) if Path(named).is_dir() else named
        return
    try:
        installed = importlib.import_module(f"{package}._installed")
    except ImportError:
        pass
    else:
        folder = Path(installed.__file__).parent / installed.kLibraryDir
        # The runtime package may hold only the versioned file.
        yield from sorted(str(found) for found in folder.glob(name + "*"))
    found = ctypes.util.find_library(stem)
    if found:
        yield found
    # Where an install of the project's own puts the library (CMake's default prefix), and an
    # interpreter's own prefix (a conda environment's).
    folders = [Path(sys.prefix) / "lib", Path("/usr/local/lib")]
    multiarch = sysconfig.get_config_var("MULTIARCH")
    if multiarch:
        folders += [Path("/usr/local/lib") / multiarch, Path("/usr/lib") / multiarch]
    for folder in folders:
        yield from sorted(str(found) for found in folder.glob(name + "*"))
    yield name


def load(stem: str, variable: str, package: str, functions: Sequence[Function]) -> ctypes.CDLL:
    """The first candidate that loads and has every function, declared as
    `functions` says (name, result, arguments)."""
    failures: List[str] = []
    for candidate in _candidates(stem, variable, package):
        try:
            loaded = ctypes.CDLL(candidate)
        except OSError as error:
            failures.append(f"{candidate}: {error}")
            continue
        missing = [name for name, _result, _arguments in functions if not hasattr(loaded, name)]
        if not missing:
            for name, result, arguments in functions:
                function = getattr(loaded, name)
                function.restype = result
                function.argtypes = arguments
            return loaded
        failures.append(f"{candidate}: not the {stem} library, or an older one: no {missing[0]}")
    raise ImportError(
        f"cannot load the {stem} library (set {variable} to its file or folder); "
        "looked at " + "; ".join(failures)
    )
