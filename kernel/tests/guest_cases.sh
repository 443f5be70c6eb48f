# The kernel driver's cases in the guest of scripts/kernel-test.sh, sourced by
# scripts/kernel-test-guest.sh after its own cases, with its boards, firmware
# and check(). Board KT0001 is written by the library, claimed for the driver
# (ksthid kernel claim) and used through i2c-tools, smbus2, at24 and libgpiod,
# released and claimed again, faced with hostile firmware, pulled out and
# plugged back, and the module removed while transfers run. Python starts slowly in the guest, so
# the smbus2 cases run in one process (i2c_client.py).
if [ -z "${ksthid_module:-}" ]; then
  echo "driver cases skipped: no module was built" | tee -a /run/out/details
  return 0
fi
driver_started=$(date +%s)
hid_device_of() { basename "$(dirname "$(grep -l "HID_UNIQ=$1" /sys/bus/hid/devices/*/uevent)")"; }
adapter_of() { ls -d "/sys/bus/hid/devices/$1"/i2c-* 2>/dev/null | sed 's/.*i2c-//'; }
chip_of() { basename "$(ls -d "/sys/bus/hid/devices/$1"/gpiochip* 2>/dev/null)"; }
# A command for check that waits up to 10 s for a shell condition.
until_true() { echo "for _ in \$(seq 50); do $1 && exit 0; sleep 0.2; done; exit 1"; }
library_boards() { echo "[ \$('$bin/ksthid' list | grep -c /dev/hidraw) -eq $1 ]"; }
# The library's tool on board KT0001.
ksthid0() { "$bin/ksthid" -b "$("$bin/ksthid" list | awk '/KT0001/ { print $1 }')" "$@"; }
# The board's HID device, adapter and chip, once the driver has them.
find_board() {
  for _ in $(seq 50); do
    dev0=$(hid_device_of KT0001)
    [ -n "$(adapter_of "$dev0")" ] && [ -n "$(chip_of "$dev0")" ] && break
    sleep 0.2
  done
  bus=$(adapter_of "$dev0")
  chip=$(chip_of "$dev0")
  udevadm settle -t 10
}
claim() {
  "$bin/ksthid" kernel claim KT0001 | tee -a /run/out/details
  find_board
}
# Restarts board KT0001's firmware: "stop", or the firmware's arguments.
cat >/run/firmware <<FIRMWARE
kill \$(cat /run/firmware0)
sleep 0.1
[ "\$1" = stop ] && exit 0
"$bin/ksthid_gadget_firmware" /dev/hidg0 "\$@" </dev/null >/dev/null 2>&1 &
echo \$! >/run/firmware0
FIRMWARE

ksthid0 i2c write 0x50 0x20 0x11 0x22 0x33 0x44
ksthid0 gpio config 0 0
ksthid0 gpio set 0x0f 0xf0
load i2c-dev
load at24
insmod "$ksthid_module"
check "driver loaded: the library still has both boards" bash -c "$(until_true "$(library_boards 2)")"
claim
check "claimed: the library lists the other board only, i2cdetect -l the adapter, udev tags its nodes" \
  bash -c "$(library_boards 1) && i2cdetect -l | tee /dev/stderr | grep -c ksthid | grep -qx 1 &&
  i2cdetect -l | grep -q 'i2c-$bus.*ksthid KT0001' &&
  udevadm info /dev/i2c-$bus | grep -E 'TAGS=.*:uaccess:' && udevadm info /dev/$chip | grep -E 'TAGS=.*:uaccess:'"
check "claimed: ksthid list names the adapter and chip, and the library refuses the board" bash -c "
  '$bin/ksthid' list | tee /dev/stderr | grep -q 'KT0001.claimed by the kernel driver as i2c-$bus and $chip;' &&
  { refused=\$('$bin/ksthid' -b KT0001 version 2>&1); [ \$? -eq 3 ]; } && echo \"\$refused\" | tee /dev/stderr |
  grep -q 'KT0001: the kernel driver owns the board'"
check "i2cdetect -y -r shows the register file and the EEPROM" bash -c "
  found=\$(i2cdetect -y -r $bus) && echo \"\$found\" && grep -q '^20: 20' <<<\"\$found\" && grep -q '^50: 50' <<<\"\$found\""
check "i2cset, i2cget and i2ctransfer on the EEPROM" bash -c "i2cset -y $bus 0x50 0x30 0xc3 &&
  [ \$(i2cget -y $bus 0x50 0x30) = 0xc3 ] && i2ctransfer -y $bus w3@0x50 0x31 0x01 0x02 &&
  [ \"\$(i2ctransfer -y $bus w1@0x50 0x31 r2)\" = '0x01 0x02' ]"
check "at24's eeprom reads back what the library wrote" bash -c "
  echo 24c02 0x50 >/sys/bus/i2c/devices/i2c-$bus/new_device &&
  od -An -tx1 -j 32 -N 4 /sys/bus/i2c/devices/$bus-0050/eeprom | tee /dev/stderr | grep -q '11 22 33 44'"
echo 0x50 >"/sys/bus/i2c/devices/i2c-$bus/delete_device"
check "sysfs: firmware version and module indicator" bash -c "cd /sys/bus/hid/devices/$dev0 &&
  grep -x '1.0 2026-12-01' firmware_version && echo 1 >module_indicator && grep -x 1 module_indicator &&
  echo 0 >module_indicator && grep -x 0 module_indicator"
check "gpiodetect and gpioinfo: 16 named lines, directions as the library left them" bash -c "
  gpiodetect | tee /dev/stderr | grep -q '$chip \[ksthid KT0001' &&
  gpioinfo $chip | tee /dev/stderr | grep -cE '\"P[01]_[0-7]\"' | grep -qx 16 &&
  gpioinfo $chip | grep -E 'line +0:.*\"P0_0\".* input' && gpioinfo $chip | grep -E 'line +4:.*\"P0_4\".* output'"
check "gpioset and gpioget" bash -c "gpioset $chip 4=1 8=1 && [ \$(gpioget $chip 0) = 1 ]"

check "released: the library has the board back, with the GPIO values set" bash -c "
  '$bin/ksthid' kernel release KT0001 &&
  $(until_true "$(library_boards 2)") && $(declare -f ksthid0); ksthid0 gpio get | tee /dev/stderr |
  tr A-F a-f | tr '\n' ' ' | grep -q 'value 0x1f 0xf1 config 0x10 0x01'"
claim

python3 "$ksthid_root/kernel/tests/i2c_client.py" "$bus" "$results" /run/firmware "$cable0" \
  2>&1 | tee -a /run/out/details
check "driver: the adapter and the chip go away" \
  bash -c "$(until_true "[ ! -e /dev/i2c-$bus ] && [ ! -e /dev/$chip ]")"
bash /run/replug0
find_board
check "driver: plugged back, the board is the kernel's again, with an adapter that answers" \
  bash -c "[ -n '$chip' ] && i2cget -y '$bus' 0x50 0x10"

"$bin/ksthid" kernel release KT0001
bash /run/firmware 7000
check "a claim that the firmware does not answer fails and leaves the board to the library" \
  bash -c "! '$bin/ksthid' kernel claim KT0001 && $(library_boards 2) &&
  '$bin/ksthid' kernel release KT0001 && ! '$bin/ksthid' kernel claim NOSUCH"
bash /run/firmware
sleep 0.3
claim
(while :; do i2cget -y "$bus" 0x50 0x10 >/dev/null 2>&1; done) &
i2c_loop=$!
(while :; do gpioget "$chip" 1 >/dev/null 2>&1; done) &
gpio_loop=$!
sleep 0.3
check "driver: rmmod during transfers" bash -c "$(until_true "rmmod hid_ksthid")"
kill "$i2c_loop" "$gpio_loop"
check "driver removed: hid-generic gives the library both boards" bash -c "$(until_true "$(library_boards 2)")"
check "driver: dmesg says no BUG, WARNING, Oops or hung task" \
  bash -c "! dmesg | grep -E 'BUG|WARNING|Oops|hung task'"
dmesg | grep -iE 'ksthid|i2c|gpio' | tail -n 30 >>/run/out/details
echo "driver cases: $(($(date +%s) - driver_started)) s in the guest" | tee -a /run/out/details
