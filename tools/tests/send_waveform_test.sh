#!/bin/sh
# A send to DVR 0x10 drawn by `ksthid trace vcd` and read back by sigrok-cli, a VCD reader written
# elsewhere. The virtual register starts at 0, so the send is 257 down-steps, each a pulse of the
# counter line's configuration bit (config1 [6]), then 16 up-steps, each a low pulse of its value
# bit (value1 [6]); the register ends at 16.
# Usage: send_waveform_test.sh QV6180 KSTHID
set -eu
qv6180=$1
ksthid=$2
if ! command -v sigrok-cli >/dev/null; then
  echo "sigrok-cli is not installed (scripts/packages.txt names it)"
  exit 77
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

"$qv6180" --simulate 1 --trace "$folder/trace" send 0x10
# sigrok 0.5 reads one-bit signals only, as the dump has them unless asked for vectors.
"$ksthid" trace vcd "$folder/trace" "$folder/send.vcd"
# Each level lasts at most 100 samples (100 us): every change and the level the trace ends in stay,
# and the send of a second or so is some fifty thousand samples.
sigrok-cli -I vcd:compress=100 -i "$folder/send.vcd" -O csv:header=false:label=channel \
  -C 'config1[6],value1[6],dvr[0],dvr[1],dvr[2],dvr[3],dvr[4],dvr[5],dvr[6],dvr[7]' \
  >"$folder/samples"

# Columns come in the file's order; the first row names them.
found=$(awk -F, '
  /^value1/ { for (i = 1; i <= NF; i++) column[$i] = i; next }
  /^[01]/ {
    configuration = $column["config1[6]"]; value = $column["value1[6]"]
    if (samples++ > 0) {
      if (previousConfiguration == 0 && configuration == 1) configurationPulses++
      if (previousValue == 1 && value == 0) valuePulses++
    }
    previousConfiguration = configuration; previousValue = value
    dvr = 0
    for (bit = 7; bit >= 0; bit--) dvr = 2 * dvr + $column["dvr[" bit "]"]
  }
  END {
    printf "%d samples: config1[6] %d pulses, value1[6] %d pulses, dvr %d\n",
      samples, configurationPulses, valuePulses, dvr
  }
' "$folder/samples")
echo "sigrok-cli: $found"
test "${found#*: }" = "config1[6] 257 pulses, value1[6] 16 pulses, dvr 16"
