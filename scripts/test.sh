#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once
# plainly and once under AddressSanitizer and UndefinedBehaviorSanitizer;
# then the Windows builds of the library, under Wine; then every fuzz target
# for 30 seconds; then the Debian packages and the Windows zips, installed
# and tried.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

bash "$root/scripts/install-deps.sh"

run_suite() {
  local dir=$1
  shift
  cmake -S "$root" -B "$root/$dir" -G Ninja "$@"
  cmake --build "$root/$dir" -j "$jobs"
  (cd "$root/$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
}

run_suite build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DQV6180_SANITIZE=ON
bash "$root/scripts/test-windows.sh"
bash "$root/scripts/fuzz.sh"
bash "$root/scripts/test-packages.sh"
