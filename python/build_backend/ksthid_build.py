"""The package's build backend (PEP 517): a pure-Python wheel made with the
standard library alone, so that ``pip install ./python`` and ``pip wheel``
need no other package and no network, in a fresh virtual environment too.
The package's name, version and summary are pyproject.toml's."""

from __future__ import annotations

import base64
import hashlib
import io
import re
import tarfile
import zipfile
from pathlib import Path
from typing import Dict, List, Optional, Tuple

kSource = Path(__file__).resolve().parent.parent
# ksthid, and qv6180 over it: installed together.
kPackages = ("ksthid", "qv6180")
# The project's fields this backend writes into the metadata.
kFields = ("name", "version", "description", "requires-python")


def _project() -> Dict[str, str]:
    """The [project] table's plain string fields (tomllib is not in every
    interpreter the package serves)."""
    table = re.search(r"^\[project\]\n(.*?)(?=^\[|\Z)", (kSource / "pyproject.toml").read_text(),
                      re.M | re.S)
    pairs = re.findall(r'^([\w-]+)\s*=\s*"([^"]*)"', table.group(1) if table else "", re.M)
    return {key: value for key, value in pairs if key in kFields}


def _metadata(project: Dict[str, str]) -> str:
    return (
        "Metadata-Version: 2.1\n"
        f"Name: {project['name']}\n"
        f"Version: {project['version']}\n"
        f"Summary: {project['description']}\n"
        f"Requires-Python: {project['requires-python']}\n"
    )


def _sources() -> List[Path]:
    return [path for package in kPackages for path in sorted((kSource / package).glob("*.py"))]


def _dist_info(project: Dict[str, str]) -> str:
    return f"{project['name']}-{project['version']}.dist-info"


def _digest(data: bytes) -> str:
    return base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()


def _wheel_files(project: Dict[str, str]) -> List[Tuple[str, bytes]]:
    info = _dist_info(project)
    files = [(path.relative_to(kSource).as_posix(), path.read_bytes()) for path in _sources()]
    files.append((f"{info}/METADATA", _metadata(project).encode()))
    wheel = "Wheel-Version: 1.0\nGenerator: ksthid_build\nRoot-Is-Purelib: true\nTag: py3-none-any\n"
    files.append((f"{info}/WHEEL", wheel.encode()))
    record = "".join(f"{name},sha256={_digest(data)},{len(data)}\n" for name, data in files)
    files.append((f"{info}/RECORD", (record + f"{info}/RECORD,,\n").encode()))
    return files


def get_requires_for_build_wheel(config_settings: Optional[dict] = None) -> List[str]:
    return []


def get_requires_for_build_sdist(config_settings: Optional[dict] = None) -> List[str]:
    return []


def prepare_metadata_for_build_wheel(
    metadata_directory: str, config_settings: Optional[dict] = None
) -> str:
    project = _project()
    info = Path(metadata_directory) / _dist_info(project)
    info.mkdir(parents=True, exist_ok=True)
    (info / "METADATA").write_text(_metadata(project))
    return info.name


def build_wheel(
    wheel_directory: str,
    config_settings: Optional[dict] = None,
    metadata_directory: Optional[str] = None,
) -> str:
    project = _project()
    name = f"{project['name']}-{project['version']}-py3-none-any.whl"
    with zipfile.ZipFile(Path(wheel_directory) / name, "w", zipfile.ZIP_DEFLATED) as wheel:
        for path, data in _wheel_files(project):
            wheel.writestr(path, data)
    return name


def build_sdist(sdist_directory: str, config_settings: Optional[dict] = None) -> str:
    project = _project()
    root = f"{project['name']}-{project['version']}"
    files = [kSource / "pyproject.toml", Path(__file__).resolve(), *_sources()]
    with tarfile.open(Path(sdist_directory) / f"{root}.tar.gz", "w:gz") as sdist:
        for path in files:
            sdist.add(path, f"{root}/{path.relative_to(kSource)}")
        pkg_info = _metadata(project).encode()
        entry = tarfile.TarInfo(f"{root}/PKG-INFO")
        entry.size = len(pkg_info)
        sdist.addfile(entry, io.BytesIO(pkg_info))
    return f"{root}.tar.gz"
