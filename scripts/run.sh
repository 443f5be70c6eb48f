#!/usr/bin/env bash
# Installs what is missing, builds the evaluation program (Release, in build/) and starts it with
# one virtual board attached.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

bash "$root/scripts/install-deps.sh"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  cat >&2 <<MESSAGE
qv6180eval is a window, and there is no display to show it on (DISPLAY and WAYLAND_DISPLAY are
both empty). Run it on a virtual X display instead:

  xvfb-run -a -s "-screen 0 1024x768x24" $0

or start it on a desktop session.
MESSAGE
  exit 2
fi

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$root/build" -j "$(nproc)" --target qv6180eval

KSTHID_SIMULATE=1 exec "$root/build/bin/qv6180eval"
