#!/usr/bin/env bash
# Builds the kernel driver of kernel/ on the host for the kernel that
# scripts/kernel-test.sh boots: against Debian's linux-headers for VERSION,
# downloaded once and unpacked into CACHE, never installed. A warning at W=1
# fails the build. Prints the module's path; prints nothing and exits 0 when
# the headers cannot be had.
#
# Usage: scripts/kernel-module-build.sh CACHE VERSION OUT_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=$1
version=$2
out=$(realpath -m "$3")
headers=$cache/headers-$version

if [ ! -e "$headers/unpacked" ]; then
  # The flavour's package and the common headers and kbuild it names.
  packages=("linux-headers-$version")
  packages+=($(apt-cache depends "linux-headers-$version" 2>/dev/null |
    awk '/Depends: linux-(headers|kbuild)-/ { print $2 }'))
  rm -rf "$headers" "$cache"/headers.partial
  mkdir -p "$cache/headers.partial/debs"
  (cd "$cache/headers.partial/debs" && apt-get download "${packages[@]}" >/dev/null 2>&1) || {
    echo "kernel-module-build: cannot download ${packages[*]}" >&2
    exit 0
  }
  for deb in "$cache"/headers.partial/debs/*.deb; do dpkg-deb -x "$deb" "$cache/headers.partial"; done
  rm -rf "$cache/headers.partial/debs"
  mv "$cache/headers.partial" "$headers"
  # The flavour's Makefile includes the common one by its installed path.
  sed -i "s|/usr/src/|$headers/usr/src/|" "$headers/usr/src/linux-headers-$version/Makefile"
  touch "$headers/unpacked"
fi

# Kbuild writes its objects beside the sources: build a copy.
rm -rf "$out"
mkdir -p "$out"
cp "$root"/kernel/*.[ch] "$root/kernel/Kbuild" "$out/"
if ! make -C "$headers/usr/src/linux-headers-$version" M="$out" W=1 modules >"$out/build.log" 2>&1 ||
  grep -E 'warning:|error:' "$out/build.log" >&2; then
  cat "$out/build.log" >&2
  echo "kernel-module-build: the driver did not build cleanly" >&2
  exit 1
fi
echo "$out/hid-ksthid.ko"
