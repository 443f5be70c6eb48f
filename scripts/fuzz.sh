#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) in build-fuzz/ and runs each one
# for FUZZ_SECONDS seconds (30 unless set), starting from its seed corpus in the repository.
# Arguments name the targets to run; without any, every target runs. FUZZ_BUILD names another
# tree configured with clang and -DQV6180_FUZZ=ON to use instead: scripts/test.sh passes its
# sanitizer tree, whose code is not optimized, so that nothing is built twice.
#
# Inputs that the fuzzer finds new are kept in build-fuzz/fuzz-corpus/TARGET, so a later run
# goes on from there; the input behind a finding is saved in build-fuzz/findings/TARGET and the
# script exits with status 1. Replay it with: build-fuzz/bin/TARGET FILE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-30}

if [[ -z "${FUZZ_BUILD:-}" ]]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQV6180_FUZZ=ON -DQV6180_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target fuzz_targets

wanted() {
  [[ $# -eq 1 ]] && return 0
  local name=$1 target
  shift
  for target in "$@"; do [[ "$target" == "$name" ]] && return 0; done
  return 1
}

status=0
while read -r name binary seeds; do
  wanted "$name" "$@" || continue
  corpus=$build/fuzz-corpus/$name
  findings=$build/findings/$name
  log=$build/fuzz-logs/$name.log
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "== $name: $seconds s"
  # The first folder takes what the fuzzer finds; the seed folder in the repository is only read.
  # An input that runs longer than 10 s is a finding: a hang.
  if "$binary" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "$seeds" >"$log" 2>&1; then
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log" || true
  else
    echo "FINDING in $name (log: $log, input in $findings):"
    grep -E -A20 '^==[0-9]+==|runtime error|deadly signal|^[^ ]+: "' "$log" | head -40 || true
    status=1
  fi
done <"$build/fuzz_targets.txt"
exit "$status"
