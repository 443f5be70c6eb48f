#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the plain
# suite, in the Release build for /usr that the Debian packages are then made
# from; the library against the real Linux kernel in a QEMU guest
# (scripts/kernel-test.sh); the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, built with clang, with the tests that involve
# threads, timers or Qt's event loop (CTest label "timing") run six times over;
# the Debian packages, installed and tried; and beside these, the Windows
# builds under Wine with their zips (scripts/test-windows.sh) and every fuzz
# target for 20 seconds (scripts/fuzz.sh).
#
# Each tree is built once. The stages beside the others write to build-logs/,
# shown if they fail.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
logs=$root/build-logs
repeats=6
fuzz_seconds=20

# Everything is installed first: the stages beside the others must not wait for the package
# manager, nor hold it while the packages stage installs the Debian packages.
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/install-deps.sh" "$root/scripts/packages-windows.txt"

# A stage in the foreground, with the time it took.
stage() {
  local name=$1 started=$SECONDS
  shift
  echo "==== $name"
  "$@"
  echo "==== $name: $((SECONDS - started)) s"
}

# A stage beside the others, in a session of its own: it stops with everything it started when
# this script ends early, and the kernel schedules it as a group of its own. NICE is the group's
# share of the processors: 19 leaves them to the stages in the foreground, 0 shares them evenly.
# start_background NAME NICE COMMAND...
declare -A background=()
start_background() {
  local name=$1 nice=$2
  shift 2
  mkdir -p "$logs"
  echo "==== $name: beside the other stages, log in $logs/$name.log"
  GROUP_NICE=$nice setsid bash -c 'echo "$GROUP_NICE" 2>/dev/null >/proc/self/autogroup; exec "$@"' \
    "$name" "$@" >"$logs/$name.log" 2>&1 &
  background[$name]=$!
}
# share NAME NICE: a new share for a stage beside the others. Raising a share takes root; without
# it, or without the kernel's scheduling groups, the share stays as it was.
share() {
  echo "$2" 2>/dev/null >"/proc/${background[$1]}/autogroup" || true
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
  grep -E "tests passed|tests failed|^== |^-- " "$logs/$name.log" || true
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

# The Windows stage takes what the plain build leaves of the processors, and then the processor
# the kernel test leaves: that test holds a board pulled out to 100 ms of the guest's time, so the
# guest's processor comes first while it runs. After it, the stages share evenly, but the Windows
# stage compiles a second file at once only while the processors have room: two compilers for
# each processor take a tenth longer than one.
start_background windows 19 env LOAD_LIMIT="$jobs" bash "$root/scripts/test-windows.sh"
# CMake's default generator for this tree, Ninja for the others: the build
# works with either.
bash "$root/scripts/configure-release.sh" "$root/build-test"
stage "plain build" cmake --build "$root/build-test" -j "$jobs"
stage "plain tests" run_tests build-test
stage "kernel test" bash "$root/scripts/kernel-test.sh" "$root/build-test"
share windows 0

# Clang builds this tree in half the time GCC takes, and the fuzz targets in the same tree; lld
# links its programs in a third of the time. The sanitizers' reports need the lines of the code
# only, not the debugger's full information, which takes a tenth of the time to write.
lld=-fuse-ld=lld
lines=-gline-tables-only
cmake -S "$root" -B "$root/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQV6180_SANITIZE=ON \
  -DQV6180_FUZZ=ON -DQV6180_BUILD_BENCHMARKS=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS_DEBUG="$lines" -DCMAKE_CXX_FLAGS_DEBUG="$lines" \
  -DCMAKE_EXE_LINKER_FLAGS="$lld" -DCMAKE_SHARED_LINKER_FLAGS="$lld" -DCMAKE_MODULE_LINKER_FLAGS="$lld"
stage "sanitizer build" cmake --build "$root/build-sanitize" -j "$jobs"
start_background fuzz 0 env FUZZ_BUILD="$root/build-sanitize" FUZZ_SECONDS=$fuzz_seconds \
  bash "$root/scripts/fuzz.sh"
stage "sanitizer tests" run_tests build-sanitize -LE timing
# A fault that shows one time in three is caught here nine times in ten.
stage "sanitizer tests, timing, $repeats times" run_tests build-sanitize -L timing \
  --repeat "until-fail:$repeats"
stage "packages" bash "$root/scripts/test-packages.sh" "$root/build-test"

finish_background windows
finish_background fuzz
