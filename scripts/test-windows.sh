#!/usr/bin/env bash
# The Windows stage: installs the MinGW-w64 cross compilers and Wine, builds
# ksthid.dll for x86 and for x64 from the same sources, and runs the tests of
# each build under Wine, in a fresh Wine prefix inside its build folder; then
# packs each build's zip and runs the tools from it unpacked.
#
# With LOAD_LIMIT=N (scripts/test.sh sets it, running this beside its other stages), a compile
# beyond the first starts only while the system's load is at most N.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
ninja_options=(${LOAD_LIMIT:+-l "$LOAD_LIMIT"})

bash "$root/scripts/install-deps.sh" "$root/scripts/packages-windows.txt"

# The zip as a user meets it: what it holds, and the tools run from where it was unpacked.
check_zip() {
  local build=$1 zips listing unpacked run tool status=0
  zips=("$build"/ksthid-*-windows-*.zip)
  echo "-- $(basename "${zips[0]}")"
  # Read whole first: grep -q on the pipe would stop reading early, and with pipefail unzip's
  # SIGPIPE would fail a zip that holds the file.
  listing=$(unzip -Z1 "${zips[0]}")
  sed 's/^/    /' <<<"$listing"
  for library in ksthid.dll qv6180.dll; do
    grep -q "/bin/$library\$" <<<"$listing" || {
      echo "the zip lacks bin/$library" >&2
      return 1
    }
  done
  unpacked=$(mktemp -d)
  unzip -q "${zips[0]}" -d "$unpacked"
  for run in "ksthid.exe --simulate 1 list" "qv6180.exe --simulate 1 send 0xA0"; do
    tool=$(find "$unpacked" -name "${run%% *}")
    # shellcheck disable=SC2086  # the arguments are words
    "$build/wine-run" "$tool" ${run#* } || status=$?
    if ((status == 77)); then
      echo "   (this machine cannot run these programs: skipped)"
      break
    elif ((status != 0)); then
      break
    fi
  done
  rm -rf "$unpacked"
  return $((status == 77 ? 0 : status))
}

# Builds the tree of one architecture: build TARGET (i686 or x86_64).
build() {
  local target=$1
  local toolchain="$root/cmake/mingw-$target.cmake"
  local dir="$root/build-windows-$target"
  echo "== Windows $target"
  # GoogleTest from Debian's sources, built by the same cross compiler, at -O0 as the tests are.
  cmake -S /usr/src/googletest -B "$dir/googletest" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O0 -DNDEBUG" -DBUILD_GMOCK=OFF \
    -DCMAKE_INSTALL_PREFIX="$dir/googletest-install" >/dev/null
  cmake --build "$dir/googletest" -j "$jobs" -- "${ninja_options[@]}" >/dev/null
  cmake --install "$dir/googletest" >/dev/null

  # Optimized as Release is on Linux, at -O2, and without debug information: MinGW's DWARF is of
  # no use to Windows debuggers, and writing it takes a quarter of the compile time.
  cmake -S "$root" -B "$dir/qv6180" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DQV6180_BUILD_TESTS=ON \
    -DGTest_DIR="$dir/googletest-install/lib/cmake/GTest"
  cmake --build "$dir/qv6180" -j "$jobs" -- "${ninja_options[@]}"
}

# Runs the tests of one architecture's tree under Wine, then packs its zip and tries it.
run_tests() {
  local dir="$root/build-windows-$1/qv6180"
  echo "== Windows $1: tests"
  rm -rf "$dir/wineprefix" "$dir/wineprefix-window"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
  # The zip a Windows user downloads for this architecture.
  rm -f "$dir"/ksthid-*.zip
  (cd "$dir" && cpack -G ZIP >/dev/null)
  check_zip "$dir"
  # Wine's server outlives the last program by a few seconds; let it go.
  WINEPREFIX="$dir/wineprefix" wineserver -w 2>/dev/null || true
  WINEPREFIX="$dir/wineprefix-window" wineserver -w 2>/dev/null || true
}

# The x64 tests mostly wait, on Wine and on the programs' own clocks: they run while the x86 tree
# compiles.
build x86_64
x64_tests_log=$(mktemp)
run_tests x86_64 >"$x64_tests_log" 2>&1 &
x64_tests=$!
build i686
x64_status=0
wait "$x64_tests" || x64_status=$?
cat "$x64_tests_log"
rm -f "$x64_tests_log"
((x64_status == 0)) || exit "$x64_status"
run_tests i686
