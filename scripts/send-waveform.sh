#!/usr/bin/env bash
# Draws docs/send-waveform.png: the end of a send to DVR 0x10 and a store on a virtual board, from
# their packet trace through `ksthid trace vcd`, as GTKWave shows it on a virtual X display.
# Usage: scripts/send-waveform.sh [BUILD]   (a build tree with bin/qv6180 and bin/ksthid; build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bash "$root/scripts/install-deps.sh" "$root/scripts/packages-pictures.txt"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
printf 'send 0x10\nstore\n' | "$build/bin/qv6180" --simulate 1 --trace send.trace --batch -
"$build/bin/ksthid" trace vcd send.trace send.vcd

# From the last five down-steps to the end: the up-steps, the register counting, the store.
start=$(grep ' W sim:0 010200ffff' send.trace | tail -5 | head -1 | cut -d' ' -f1)
end=$(tail -1 send.trace | cut -d' ' -f1)
# GTKWave joins each byte's bits into a vector; the picture shows the counter line's two bits
# and the store line alone.
cat >view.tcl <<TCL
gtkwave::addSignalsFromList {sim_0.value1[7:0] sim_0.config1[7:0]}
gtkwave::highlightSignalsFromList {sim_0.value1[7:0] sim_0.config1[7:0]}
gtkwave::/Edit/Expand
gtkwave::/Edit/UnHighlight_All
gtkwave::deleteSignalsFromList {sim_0.value1[7] sim_0.value1[4] sim_0.value1[3] sim_0.value1[2]
  sim_0.value1[1] sim_0.value1[0] sim_0.config1[7] sim_0.config1[5] sim_0.config1[4]
  sim_0.config1[3] sim_0.config1[2] sim_0.config1[1] sim_0.config1[0]}
gtkwave::addSignalsFromList {sim_0.dvr[7:0] sim_0.eeprom[7:0]}
gtkwave::highlightSignalsFromList {sim_0.dvr[7:0] sim_0.eeprom[7:0]}
gtkwave::/Edit/Data_Format/Decimal
gtkwave::/Edit/UnHighlight_All
gtkwave::setZoomRangeTimes $((start - 2000)) $((end + 1000))
TCL
cat >shoot.sh <<'SHOOT'
gtkwave --rcvar 'hide_sst 1' --rcvar 'splash_disable 1' --rcvar 'initial_window_x 1000' \
  --rcvar 'initial_window_y 330' -S view.tcl send.vcd >gtkwave.log 2>&1 &
viewer=$!
sleep 5
import -window root shot.png
kill "$viewer"
SHOOT
xvfb-run -a -s "-screen 0 1000x330x24" sh shoot.sh
cp shot.png "$root/docs/send-waveform.png"
echo "docs/send-waveform.png: the send from $start us to $end us"
