#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the plain
# suite, in the Release build for /usr that the Debian packages are then made
# from; the library against the real Linux kernel in a QEMU guest
# (scripts/kernel-test.sh); the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, with the tests that involve threads, timers or
# Qt's event loop (CTest label "timing") run ten times over; the Windows builds
# of the library, under Wine; every fuzz target for 30 seconds; then the Debian
# packages and the Windows zips, installed and tried.
#
# Each tree is built once. The Windows builds and the fuzzing run beside the
# sanitizer stages, on the processor time that their tests leave while they
# wait on boards that keep real time; their output goes to build-logs/, shown
# if they fail.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
logs=$root/build-logs
repeats=10

bash "$root/scripts/install-deps.sh"

# A stage in the foreground, with the time it took.
stage() {
  local name=$1 started=$SECONDS
  shift
  echo "==== $name"
  "$@"
  echo "==== $name: $((SECONDS - started)) s"
}

# A stage beside the others, in a process group of its own so that it stops
# with everything it started when this script ends early.
declare -A background=()
start_background() {
  local name=$1
  shift
  mkdir -p "$logs"
  echo "==== $name: beside the other stages, log in $logs/$name.log"
  setsid "$@" >"$logs/$name.log" 2>&1 &
  background[$name]=$!
}
finish_background() {
  local name=$1 started=$SECONDS status=0
  wait "${background[$name]}" || status=$?
  unset "background[$name]"
  if ((status != 0)); then
    cat "$logs/$name.log"
    echo "==== $name failed (its log is above)"
    return "$status"
  fi
  grep -E "tests passed|tests failed|^== " "$logs/$name.log" || true
  echo "==== $name passed (waited $((SECONDS - started)) s for it)"
}
stop_background() {
  local pid
  for pid in "${background[@]}"; do kill -- "-$pid" 2>/dev/null || true; done
}
trap stop_background EXIT

# Twice as many tests as processors at once: most of their time is spent waiting on boards that
# keep real time.
run_tests() {
  (cd "$root/$1" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $((2 * jobs)) "${@:2}")
}

# CMake's default generator for this tree, Ninja for the others: the build
# works with either.
bash "$root/scripts/configure-release.sh" "$root/build-test"
stage "plain build" cmake --build "$root/build-test" -j "$jobs"
stage "plain tests" run_tests build-test
# Alone on the processors: it holds a board pulled out to 100 ms of the guest's time.
stage "kernel test" bash "$root/scripts/kernel-test.sh" "$root/build-test"

start_background windows nice bash "$root/scripts/test-windows.sh"
cmake -S "$root" -B "$root/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV6180_SANITIZE=ON
stage "sanitizer build" cmake --build "$root/build-sanitize" -j "$jobs"
start_background fuzz nice bash "$root/scripts/fuzz.sh"
stage "sanitizer tests" run_tests build-sanitize -LE timing
# A fault that shows one time in three is caught here almost always.
stage "sanitizer tests, timing, $repeats times" run_tests build-sanitize -L timing \
  --repeat "until-fail:$repeats"

finish_background windows
stage "packages" bash "$root/scripts/test-packages.sh" "$root/build-test"
finish_background fuzz
