#!/usr/bin/env bash
# The library against the real Linux kernel: boots Debian's kernel under
# QEMU (TCG) with the host's root file system shared read-only, makes USB HID
# gadgets on dummy_hcd that the kernel's usbhid and hidraw take for bridge
# boards, answers them with the bridge's firmware, and runs
# scripts/kernel-test-guest.sh against them. Prints "N passed, N failed";
# exits non-zero on a failure or when the guest does not finish in time.
#
# Usage: scripts/kernel-test.sh [BUILD_DIR]   (default: build-test)
# The kernel is downloaded once into $KSTHID_KERNEL_CACHE
# (default ~/.cache/ksthid-kernel-test), never installed on the host.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-test}" && pwd)
cache=${KSTHID_KERNEL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/ksthid-kernel-test}
# The guest's whole run, boot included; TCG on a loaded machine needs it.
limit=${KSTHID_KERNEL_TEST_SECONDS:-360}

skip() {
  echo "kernel-test: skipped: $*"
  exit 0
}

[ "$(uname -m)" = x86_64 ] || skip "the guest kernel is Debian's amd64 one; this is $(uname -m)"
for target in ksthid_gadget_firmware ksthid_kernel_probe ksthid_shared_board_probe ksthid qv6180; do
  [ -x "$build/bin/$target" ] || [ -e "$build/bin/lib$target.so" ] ||
    { echo "kernel-test: $build/bin/$target is missing: build it first" >&2; exit 1; }
done

# The driver's cases use i2c-tools, libgpiod's tools and smbus2 in the guest.
packages=(qemu-system-x86 busybox-static kmod cpio udev i2c-tools gpiod python3-smbus2)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" \
    >/dev/null || skip "cannot install ${missing[*]}"
fi
command -v qemu-system-x86_64 >/dev/null || skip "no qemu-system-x86_64"

# One kernel: the version linux-image-amd64 points to.
kernel_package=$(apt-cache depends linux-image-amd64 2>/dev/null |
  awk '/Depends: linux-image-[0-9]/ { print $2; exit }')
[ -n "$kernel_package" ] || skip "apt knows no linux-image-amd64"
version=${kernel_package#linux-image-}
kernel_root=$cache/$version
if [ ! -e "$kernel_root/boot/vmlinuz-$version" ]; then
  mkdir -p "$cache"
  rm -rf "$kernel_root" "$cache"/*.deb
  (cd "$cache" && apt-get download "$kernel_package" >/dev/null 2>&1) ||
    skip "cannot download $kernel_package"
  dpkg-deb -x "$cache/$kernel_package"_*.deb "$kernel_root.partial"
  depmod -b "$kernel_root.partial" "$version"
  rm -f "$cache"/*.deb
  mv "$kernel_root.partial" "$kernel_root"
fi

module=$(bash "$root/scripts/kernel-module-build.sh" "$cache" "$version" "$build/kernel-module")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/initramfs/lib" "$work/out"

# The initramfs only reaches the host's root: busybox and the modules that
# 9p over virtio needs; the guest script loads everything else from there.
cp /bin/busybox "$work/initramfs/busybox"
for module in virtio_pci 9pnet_virtio 9p; do
  modprobe -d "$kernel_root" -S "$version" --show-depends "$module" | awk '{ print $2 }'
done | awk '!seen[$0]++' | while read -r module; do
  cp "$module" "$work/initramfs/lib/"
  basename "$module" >>"$work/initramfs/lib/order"
done
cat >"$work/initramfs/init" <<'INIT'
#!/busybox sh
/busybox mkdir -p /proc /newroot
/busybox mount -t proc proc /proc
for module in $(/busybox cat /lib/order); do /busybox insmod "/lib/$module"; done
/busybox mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,ro root /newroot
exec /busybox switch_root /newroot /bin/bash "$ksthid_guest_script"
INIT
chmod +x "$work/initramfs/init"
(cd "$work/initramfs" && find . | cpio -o -H newc --quiet | gzip -1) >"$work/initramfs.gz"

# Unknown name=value words of the command line reach the guest's first
# program as its environment.
parameters=(
  "ksthid_guest_script=$root/scripts/kernel-test-guest.sh"
  "ksthid_build=$build" "ksthid_root=$root"
  "ksthid_modules=$kernel_root" "ksthid_version=$version" "ksthid_module=$module"
)
started=$(date +%s)
status=0
timeout --kill-after=5 "$limit" qemu-system-x86_64 -accel tcg -m 1024 -smp 1 -nographic \
  -no-reboot -nic none -kernel "$kernel_root/boot/vmlinuz-$version" -initrd "$work/initramfs.gz" \
  -append "console=ttyS0 panic=-1 quiet noapic ${parameters[*]}" \
  -virtfs local,path=/,mount_tag=root,security_model=none,readonly=on,multidevs=remap \
  -virtfs "local,path=$work/out,mount_tag=out,security_model=none" \
  </dev/null >"$work/console.log" 2>&1 || status=$?

results=$work/out/results
touch "$results"
passed=$(grep -c '^ok ' "$results" || true)
failed=$(grep -c '^FAIL ' "$results" || true)
cat "$results"; cat "$work/out/details" 2>/dev/null || true
echo "kernel-test: guest ran $(($(date +%s) - started)) s of wall time"
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ] || ! grep -q '^finished' "$results" 2>/dev/null; then
  echo "kernel-test: the guest stopped or ran out of its $limit s before finishing; its console:" >&2
  tail -n 40 "$work/console.log" >&2
  failed=$((failed + 1))
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
