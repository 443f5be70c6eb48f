# Sourced by scripts/kernel-test-guest.sh, whose check, node_of and $bin it
# uses: several programs on one board at once, each checking every answer
# against what it alone wrote (bytes of its own at its own EEPROM offset).
shared_probe=$bin/ksthid_shared_board_probe
own_eeprom="python3 $ksthid_root/bridge/tests/kernel/own_eeprom.py"
# Board 0 of the tools, which number the boards as the enumeration lists them.
shared=$("$bin/ksthid_kernel_probe" list | head -n 1 | cut -d' ' -f2)
shared_node=/dev/$(node_of "$shared")
rounds=150
shared_started=$SECONDS
# Programs that take turns on one board take the sum of their times.
check_seconds=60

# together COMMAND...: runs the shell commands at once; fails when any does.
together() {
  local pids=() status=0 command
  for command in "$@"; do
    bash -c "$command" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
  return $status
}

# ksthid_rounds OFFSET N: the command-line tool, one process a step, writes
# two bytes of its own and reads them back N times.
ksthid_rounds() {
  local round value read
  for round in $(seq "$2"); do
    value=$(printf '0x%02x' "$round")
    "$bin/ksthid" -b 0 i2c write 0x50 "$1" "$1" "$value" || return 1
    read=$("$bin/ksthid" -b 0 i2c read 0x50 "$1" 2 | tr 'A-F' 'a-f')
    [ "$read" = "$1 $value" ] || { echo "ksthid at $1: wrong answer $read"; return 1; }
  done
  echo "ksthid at $1: $2 rounds, 0 wrong"
}

# How long the cases so far took, into the details.
shared_mark() { echo "  ($((SECONDS - shared_started)) s so far)" >>/run/out/details; }

export -f together ksthid_rounds
export bin
# all NAME COMMAND...: one case, its shell commands run at once.
all() {
  local name=$1
  shift
  check "$name" bash -c 'together "$@"' together "$@"
  shared_mark
}

# The tool starts a process for each step, slow under emulation: a few
# rounds of it while the others run.
all "two Python programs and ksthid on one board get only their own answers, one killed meanwhile" \
  "$own_eeprom $shared 0x80 $rounds" "$own_eeprom $shared 0x88 $rounds" "ksthid_rounds 0xa0 3" \
  "$own_eeprom $shared 0xb8 0 & sleep 3; kill -9 \$!"
all "a C program on handles beside one on HIDnumbers get only their own answers" \
  "$shared_probe handles $shared 0x90 $rounds" "$shared_probe hidnumbers $shared 0x98 $rounds"
# Held for longer than the waiting program's time-out for an answer: it
# waits, and does not fail.
hold_board="import fcntl, os, time
fcntl.flock(os.open('$shared_node', os.O_RDONLY), fcntl.LOCK_EX)
open('/run/board-held', 'w').close()
time.sleep(60)"
check "a program holding the board makes the others wait; killed, it lets go" \
  bash -c "python3 -c \"$hold_board\" & holder=\$!
    until [ -e /run/board-held ]; do sleep 0.1; done
    $shared_probe handles $shared 0xc0 10 500 & waiting=\$!
    sleep 1.5; kill -0 \$waiting || { echo 'did not wait'; exit 1; }
    echo 'waited 1.5 s'; kill -9 \$holder; wait \$waiting"
shared_mark

# A figure, not a case.
seconds_of_send() {
  local TIMEFORMAT=%R
  { time "$bin/qv6180" send 0xA0 >/dev/null 2>&1; } 2>&1
}
alone=$(seconds_of_send)
# A reader that starts at once: the C program, for as long as the send takes.
$shared_probe handles "$shared" 0xd0 1000000 >/dev/null &
reader=$!
sleep 0.5
beside=$(seconds_of_send)
kill "$reader"
wait "$reader" 2>/dev/null
echo "qv6180 send 0xA0: $alone s alone, $beside s while another program reads the same board" |
  tee -a /run/out/details
echo "programs on one board: $((SECONDS - shared_started)) s of the guest's time" |
  tee -a /run/out/details
unset check_seconds
