#!/usr/bin/env bash
# Configures a Release build for /usr in the folder DIR, the build that the
# Debian packages are made from: configure-release.sh DIR [CMAKE OPTIONS...]
# The Python package is made for Debian's interpreter, whatever comes first on
# PATH. scripts/test.sh runs the plain suite in such a tree and makes the
# packages from it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
shift
# -O2, as Debian builds its packages, rather than CMake's -O3, which takes longer to compile.
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_INSTALL_PREFIX=/usr \
  -DPython3_EXECUTABLE=/usr/bin/python3 "$@"
