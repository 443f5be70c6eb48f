# The kernel driver's cases in the guest of scripts/kernel-test.sh, sourced by
# scripts/kernel-test-guest.sh after its own cases, with its boards, firmware
# and check(). Board KT0001 is written by the library, claimed by the driver
# and used through i2c-tools, smbus2, at24 and libgpiod, faced with hostile
# firmware, pulled out and plugged back, released and claimed again, and the
# module removed while transfers run.
if [ -z "${ksthid_module:-}" ]; then
  echo "driver cases skipped: no module was built" | tee -a /run/out/details
  return 0
fi
tests=$ksthid_root/kernel/tests
client=(python3 "$tests/i2c_client.py")
driver=/sys/bus/hid/drivers/ksthid
hid_device_of() { basename "$(dirname "$(grep -l "HID_UNIQ=$1" /sys/bus/hid/devices/*/uevent)")"; }
adapter_of() { ls -d "/sys/bus/hid/devices/$1"/i2c-* 2>/dev/null | sed 's/.*i2c-//'; }
chip_of() { basename "$(ls -d "/sys/bus/hid/devices/$1"/gpiochip* 2>/dev/null)"; }
# A command for check that waits up to 10 s for a shell condition.
until_true() { echo "for _ in \$(seq 50); do $1 && exit 0; sleep 0.2; done; exit 1"; }
library_boards() { echo "[ \$('$bin/ksthid' list | grep -c /dev/hidraw) -eq $1 ]"; }
dmesg_clean=(bash -c "! dmesg | grep -E 'BUG|WARNING|Oops|hung task'")
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
  dev0=$(hid_device_of KT0001)
  echo "$dev0" >$driver/claim
  find_board
}

python3 -c "
import ksthid
with ksthid.open('KT0001') as board:
    board.i2c.write(0x50, 0x20, bytes([0x11, 0x22, 0x33, 0x44]))
    board.gpio.configure(0x00, 0x00, False)
    board.gpio.set(0x0F, 0xF0)"
load i2c-dev
load at24
insmod "$ksthid_module"
check "driver loaded: the library still has both boards" bash -c "$(until_true "$(library_boards 2)")"
claim
check "claimed: the library lists the other board only" bash -c "$(library_boards 1)"
check "claimed: i2cdetect -l lists its adapter" \
  bash -c "i2cdetect -l | tee /dev/stderr | grep -c ksthid | grep -qx 1 && i2cdetect -l | grep -q 'i2c-$bus.*ksthid KT0001'"
check "udev gives the seat the adapter's and the chip's nodes" \
  bash -c "udevadm info /dev/i2c-$bus | grep -E 'TAGS=.*:uaccess:' && udevadm info /dev/$chip | grep -E 'TAGS=.*:uaccess:'"
check "i2cdetect -y -r shows the register file and the EEPROM" \
  bash -c "i2cdetect -y -r $bus | tee /dev/stderr | grep -q '^20: 20' && i2cdetect -y -r $bus | grep -q '^50: 50'"
check "i2cset, i2cget and i2ctransfer on the EEPROM" bash -c "i2cset -y $bus 0x50 0x30 0xc3 &&
  [ \$(i2cget -y $bus 0x50 0x30) = 0xc3 ] && i2ctransfer -y $bus w3@0x50 0x31 0x01 0x02 &&
  [ \"\$(i2ctransfer -y $bus w1@0x50 0x31 r2)\" = '0x01 0x02' ]"
check "an absent address is not acknowledged (ENXIO)" "${client[@]}" absent "$bus"
check "smbus2 on /dev/i2c-N: the EEPROM script, byte and word data, the longest transfers" \
  "${client[@]}" eeprom "$bus"
check "at24's eeprom reads back what the library wrote" bash -c "
  echo 24c02 0x50 >/sys/bus/i2c/devices/i2c-$bus/new_device &&
  od -An -tx1 -j 32 -N 4 /sys/bus/i2c/devices/$bus-0050/eeprom | tee /dev/stderr | grep -q '11 22 33 44'"
echo 0x50 >"/sys/bus/i2c/devices/i2c-$bus/delete_device"
check "two processes on /dev/i2c-N get their own answers" bash -c "
  ${client[*]} own $bus eeprom & other=\$!; ${client[*]} own $bus registers && wait \$other"
check "sysfs: firmware version and module indicator" bash -c "cd /sys/bus/hid/devices/$dev0 &&
  grep -x '1.0 2026-12-01' firmware_version && echo 1 >module_indicator && grep -x 1 module_indicator &&
  echo 0 >module_indicator && grep -x 0 module_indicator"
check "gpiodetect and gpioinfo: 16 named lines, directions as the library left them" bash -c "
  gpiodetect | tee /dev/stderr | grep -q '$chip \[ksthid KT0001' &&
  gpioinfo $chip | tee /dev/stderr | grep -cE '\"P[01]_[0-7]\"' | grep -qx 16 &&
  gpioinfo $chip | grep -E 'line +0:.*\"P0_0\".* input' && gpioinfo $chip | grep -E 'line +4:.*\"P0_4\".* output'"
check "gpioset and gpioget" bash -c "gpioset $chip 4=1 8=1 && [ \$(gpioget $chip 0) = 1 ]"

echo "$dev0" >$driver/release
check "released: the library opens the board and finds the GPIO values set" bash -c "
  $(until_true "$(library_boards 2)") && python3 -c \"
import ksthid
with ksthid.open('KT0001') as board:
    print(board.gpio.value, board.gpio.configuration)
    assert board.gpio.value == (0x1F, 0xF1)
    assert board.gpio.configuration[:2] == (0x10, 0x01)\""
claim

start_firmware babble
sleep 0.5
check "driver: a firmware that babbles" "${client[@]}" hostile "$bus" babble
start_firmware 3000
sleep 0.5
check "driver: a firmware that answers late: the time-out, then the right answer" \
  "${client[@]}" late "$bus"
kill "$(cat /run/firmware0)"
python3 "$tests/hostile_firmware.py" /dev/hidg0 &
echo $! >/run/firmware0
sleep 0.5
check "driver: a firmware that answers garbage" "${client[@]}" hostile "$bus" garbage
start_firmware
sleep 0.5
check "driver: a sound firmware is answered right again" "${client[@]}" eeprom "$bus"

check "driver: the cable pulled during transfers ends them" "${client[@]}" pull "$bus" "$cable0"
check "driver: the adapter and the chip go away" \
  bash -c "$(until_true "[ ! -e /dev/i2c-$bus ] && [ ! -e /dev/$chip ]")"
bash /run/replug0
find_board
check "driver: plugged back, the board is the kernel's again, with an adapter that answers" \
  bash -c "[ -n '$chip' ] && i2cget -y '$bus' 0x50 0x10"

(while :; do i2cget -y "$bus" 0x50 0x10 >/dev/null 2>&1; done) &
i2c_loop=$!
(while :; do gpioget "$chip" 1 >/dev/null 2>&1; done) &
gpio_loop=$!
sleep 1
check "driver: rmmod during transfers" bash -c "$(until_true "rmmod hid_ksthid")"
kill "$i2c_loop" "$gpio_loop"
check "driver removed: hid-generic gives the library both boards" bash -c "$(until_true "$(library_boards 2)")"
check "driver: dmesg says no BUG, WARNING, Oops or hung task" "${dmesg_clean[@]}"
dmesg | grep -iE 'ksthid|i2c|gpio' | tail -n 30 >>/run/out/details
