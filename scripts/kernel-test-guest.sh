#!/bin/bash
# The guest's side of scripts/kernel-test.sh, run as its first process on
# the host's root file system (read-only): makes the gadget boards, starts
# their firmware and udev, runs the cases and writes one line per case to
# /run/out/results ("ok NAME" or "FAIL NAME"), then "finished".
set -u
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /run
# A writable /tmp over the host's, which stays reachable where the sources,
# the build or the kernel lie in it (a clone made with mktemp, say).
mkdir -p /run/host-tmp
mount --bind /tmp /run/host-tmp
mount -t tmpfs tmpfs /tmp
for dir in "$ksthid_root" "$ksthid_build" "$ksthid_modules"; do
  case $dir in /tmp/*)
    mkdir -p "$dir"
    mount --bind "/run/host-tmp/${dir#/tmp/}" "$dir"
    ;;
  esac
done
mkdir -p /run/out
mount -t 9p -o trans=virtio,version=9p2000.L out /run/out
results=/run/out/results
bin=$ksthid_build/bin
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
export KSTHID_LIBRARY=$bin/libksthid.so PYTHONPATH=$ksthid_root/python
load() { modprobe -d "$ksthid_modules" -S "$ksthid_version" "$@"; }

finish() {
  echo finished >>"$results"
  sync
  echo o >/proc/sysrq-trigger
  sleep 10
}
trap finish EXIT

# check NAME COMMAND...: one case; its output goes to the console. A case
# may take check_seconds (20) of the guest's time.
check() {
  local name=$1 output
  shift
  if output=$(timeout "${check_seconds:-20}" "$@" 2>&1); then
    echo "ok $name" >>"$results"
  else
    echo "FAIL $name" >>"$results"
  fi
  printf '%s: %s\n' "$name" "$output" | tee -a /run/out/details
}

# A vendor-defined report of 64 bytes each way, without report IDs.
report_descriptor='\x06\x00\xff\x09\x01\xa1\x01\x15\x00\x26\xff\x00\x75\x08\x95\x40\x09\x01\x81\x02\x95\x40\x09\x01\x91\x02\xc0'

# make_gadget NAME VENDOR PRODUCT SERIAL CONTROLLER
make_gadget() {
  local gadget=/sys/kernel/config/usb_gadget/$1
  mkdir "$gadget" "$gadget/strings/0x409" "$gadget/configs/c.1" "$gadget/functions/hid.usb0"
  echo "$2" >"$gadget/idVendor"
  echo "$3" >"$gadget/idProduct"
  echo "$4" >"$gadget/strings/0x409/serialnumber"
  echo "Kernel test" >"$gadget/strings/0x409/manufacturer"
  echo "$1" >"$gadget/strings/0x409/product"
  echo 64 >"$gadget/functions/hid.usb0/report_length"
  printf "$report_descriptor" >"$gadget/functions/hid.usb0/report_desc"
  ln -s "$gadget/functions/hid.usb0" "$gadget/configs/c.1/"
  echo "$5" >"$gadget/UDC"
}

start_firmware() {
  [ -f /run/firmware0 ] && kill "$(cat /run/firmware0)"
  "$bin/ksthid_gadget_firmware" /dev/hidg0 "$@" &
  echo $! >/run/firmware0
}

load dummy_hcd num=3
load usb_f_hid
load usbhid
load hid_generic
mount -t configfs configfs /sys/kernel/config
mkdir -p /run/udev/rules.d
cp "$ksthid_root/bridge/udev/70-ksthid.rules" /run/udev/rules.d/
/lib/systemd/systemd-udevd --daemon
# Two boards and a HID device of another vendor, each on its own controller.
make_gadget board0 0x3a5c 0x4b17 KT0001 dummy_udc.0
start_firmware
make_gadget board1 0x3a5c 0x4b17 KT0002 dummy_udc.1
make_gadget other 0x1234 0x5678 OTHER01 dummy_udc.2
"$bin/ksthid_gadget_firmware" /dev/hidg1 &
# The host side enumerates each gadget on its own time.
for _ in $(seq 100); do
  [ "$(ls /sys/class/hidraw | wc -l)" -ge 3 ] && break
  sleep 0.2
done
udevadm settle -t 20
ls -l /dev/hidraw* /dev/hidg*

node_of() { grep -l "HID_UNIQ=$1" /sys/class/hidraw/*/device/uevent | cut -d/ -f5; }
board0=/dev/$(node_of KT0001)
other=/dev/$(node_of OTHER01)

# Enumeration.
check "C API lists both boards with their serials, not the other vendor's device" \
  bash -c "out=\$('$bin/ksthid_kernel_probe' list); echo \"\$out\";
    [ \"\$(echo \"\$out\" | sort)\" = \"\$(printf '%s KT0001\n%s KT0002' $board0 /dev/$(node_of KT0002) | sort)\" ]"
check "ksthid list finds the two boards" bash -c "'$bin/ksthid' list | tee /dev/stderr | grep -c /dev/hidraw | grep -qx 2"
check "udev rule tags the bridge's node" bash -c "udevadm info $board0 | grep -E 'TAGS=.*:uaccess:'"
check "udev rule leaves the other vendor's node alone" \
  bash -c "udevadm info $other; ! udevadm info $other | grep -q uaccess"

# Every command family through usbhid and hidraw.
ksthid=("$bin/ksthid" -b 0)
check "version" bash -c "${ksthid[*]} version | grep 1.0"
check "clock" "${ksthid[@]}" clock
check "LEDs" bash -c "${ksthid[*]} led set 1 on && ${ksthid[*]} led get | grep -i on"
check "GPIO" bash -c "${ksthid[*]} gpio set 0x12 0x34 && ${ksthid[*]} gpio get | grep -i 0x12"
check "EEPROM over I2C" bash -c "${ksthid[*]} i2c write 0x50 0x10 0xA5 0x5A &&
  ${ksthid[*]} i2c read 0x50 0x10 2 | grep -i 'a5.*5a'"
check "I2C device absent" bash -c "${ksthid[*]} i2c read 0x51 0 1; [ \$? -eq 4 ]"
check "SPI" bash -c "${ksthid[*]} spi xfer 0x01 0x02 0x03"
check "second board answers" "$bin/ksthid" -b 1 version
check "qv6180 send 0xA0" "$bin/qv6180" send 0xA0
check "Python opens a board by its serial and reads the EEPROM through SMBus" python3 -c "
import ksthid
with ksthid.SMBus('KT0002') as bus:
    bus.write_i2c_block_data(0x50, 0x10, [0xA5, 0x5A])
    assert bus.read_i2c_block_data(0x50, 0x10, 2) == [0xA5, 0x5A]
assert sorted(b.serial for b in ksthid.boards()) == ['KT0001', 'KT0002']"

# Several programs on one board at once.
. "$ksthid_root/scripts/kernel-test-shared-board.sh"

# Faults.
start_firmware 7000
sleep 0.5
check "firmware that stops answering" "$bin/ksthid_kernel_probe" late KT0001
start_firmware babble
sleep 0.5
check "firmware that babbles" "$bin/ksthid_kernel_probe" babble KT0001
start_firmware
cable0=/sys/class/udc/dummy_udc.0/soft_connect
# dummy_hcd does not enumerate a gadget again after soft_connect's connect
# (descriptor reads fail with EPROTO): plugging back binds the gadget to its
# controller again, with the firmware stopped so that nothing holds /dev/hidg0
# while it unbinds.
cat >/run/replug0 <<REPLUG
kill \$(cat /run/firmware0)
sleep 0.2
echo '' >/sys/kernel/config/usb_gadget/board0/UDC
echo dummy_udc.0 >/sys/kernel/config/usb_gadget/board0/UDC
"$bin/ksthid_gadget_firmware" /dev/hidg0 </dev/null >/dev/null 2>&1 &
echo \$! >/run/firmware0
REPLUG
check "legacy: cable pulled mid-send" "$bin/ksthid_kernel_probe" pull legacy KT0001 $cable0 "bash /run/replug0"
check "C API: cable pulled mid-send" "$bin/ksthid_kernel_probe" pull api KT0001 $cable0 "bash /run/replug0"
{ cat /sys/class/udc/dummy_udc.0/state; ls /sys/class/hidraw; dmesg | tail -n 25; } >>/run/out/details

# Timing: a figure, not a case.
"$bin/ksthid_kernel_probe" timing KT0002 768 | tee -a /run/out/details

# The kernel driver, taking board KT0001 from the library and giving it back.
. "$ksthid_root/kernel/tests/guest_cases.sh"
