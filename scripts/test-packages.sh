#!/usr/bin/env bash
# The Debian packages as a user meets them: test-packages.sh [BUILD_DIR]. Builds
# the packages and checks them with lintian; installs them and tries each one
# from a folder outside the source tree; removes them and shows that no file
# is left behind. scripts/test-windows.sh checks the Windows zips.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

bash "$root/scripts/install-deps.sh"

# The packages are made from the tree named as the argument (scripts/test.sh
# passes its plain build, configured for the packages already), or else from
# a tree of their own in build-packages/, without the tests. A tree that
# exists keeps its generator and its tests.
dir=$(realpath -m "${1:-$root/build-packages}")
new_tree=()
[[ -f "$dir/CMakeCache.txt" ]] || new_tree=(-G Ninja -DQV6180_BUILD_TESTS=OFF)
echo "== Debian packages"
bash "$root/scripts/configure-release.sh" "$dir" "${new_tree[@]}" >/dev/null
cmake --build "$dir" -j "$jobs"
rm -f "$dir"/*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
debs=("$dir"/*.deb)
packages=()
for deb in "${debs[@]}"; do
  packages+=("$(dpkg-deb --field "$deb" Package)")
  echo "-- $(basename "$deb"): $(dpkg-deb --field "$deb" Depends)"
  dpkg-deb --contents "$deb" | awk '$6 !~ /\/$/ {print "   ", $6}'
done
lintian --fail-on error --tag-display-limit 0 "${debs[@]}"

# The tools and the Python module are tried when their folders are in the
# tree; their packages must then hold them.
part_built() { [[ -d "$root/$1" ]]; }

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
purge() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq "${packages[@]}" >/dev/null
}
# Every file outside the package manager's own records and caches.
file_list() {
  find /usr /etc /opt /var/lib -xdev \
    \( -path /var/lib/dpkg -o -path /var/lib/apt -o -path /var/lib/systemd \) -prune -o -print |
    sort
}

work=$(mktemp -d)
trap 'purge 2>/dev/null || true; rm -rf "$work"' EXIT
file_list >"$work/before.txt"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${debs[@]}" \
  >/dev/null

# From here on nothing of the source tree is used but the consumer's sources.
cp -r "$root/packaging/consumer" "$work/consumer"
cp -r "$root/packaging/chip_consumer" "$work/chip_consumer"
cp "$root/examples/send_and_store.c" "$work/chip_consumer/"
cd "$work"
if part_built tools; then
  echo "== ksthid --simulate 1 list"
  ksthid --simulate 1 list
  echo "== qv6180 --simulate 1 send 0x80"
  qv6180 --simulate 1 send 0x80
fi
echo "== a C program through pkg-config"
# shellcheck disable=SC2046 # pkg-config's flags are separate words
cc -o by-pkg-config consumer/consumer.c $(pkg-config --cflags --libs ksthid)
KSTHID_SIMULATE=1 ./by-pkg-config
echo "== a C program through find_package"
cmake -S consumer -B consumer-build -G Ninja >/dev/null
cmake --build consumer-build >/dev/null
KSTHID_SIMULATE=1 consumer-build/consumer
echo "== the chip's library: a C program through pkg-config and through find_package"
# shellcheck disable=SC2046 # pkg-config's flags are separate words
cc -o chip-by-pkg-config chip_consumer/send_and_store.c $(pkg-config --cflags --libs qv6180)
KSTHID_SIMULATE=1 ./chip-by-pkg-config 0xA0
cmake -S chip_consumer -B chip-consumer-build -G Ninja >/dev/null
cmake --build chip-consumer-build >/dev/null
KSTHID_SIMULATE=1 chip-consumer-build/send_and_store 0x80
if part_built python; then
  echo "== import ksthid, qv6180"
  /usr/bin/python3 -c "import ksthid; print(ksthid.__file__)"
  KSTHID_SIMULATE=1 /usr/bin/python3 -c \
    "import ksthid, qv6180; qv6180.Chip(ksthid.open(0)).send(0xA0); print(qv6180.__file__)"
fi
if [[ " ${packages[*]} " == *" ksthid-dkms "* ]]; then
  echo "== DKMS has the kernel driver's sources (it builds them for kernels with headers)"
  dkms status -m ksthid | grep ksthid
fi
echo "== the program's desktop entry and AppStream description"
desktop-file-validate /usr/share/applications/org.qv6180.qv6180eval.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.qv6180.qv6180eval.metainfo.xml
# The program loads the library by the name it has in libksthid1. The cache is
# read whole first: grep -q on the pipe would stop reading early, and with
# pipefail ldconfig's SIGPIPE would fail a cache that holds the name.
ldconfig_cache=$(ldconfig -p)
for library in libksthid.so.1 libqv6180.so.1; do
  grep -q "$library " <<<"$ldconfig_cache" || {
    echo "$library is not on the library path" >&2
    exit 1
  }
done

echo "== removed, nothing is left behind"
purge
file_list >"$work/after.txt"
if ! diff "$work/before.txt" "$work/after.txt"; then
  echo "the packages left the files above behind (or took others away)" >&2
  exit 1
fi
echo "no file left behind: $(wc -l <"$work/after.txt") files before and after"

