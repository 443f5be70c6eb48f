#!/bin/sh
# pip install ./python as a user does it: into a fresh virtual environment, with no package index,
# and a wheel built the same way; then a few calls from there against a virtual board.
# venv_install.sh PYTHON SOURCE LIBRARY CHIP_LIBRARY FOLDER
set -eu
python=$1 source=$2 library=$3 chip_library=$4 folder=$5
rm -rf "$folder"
"$python" -m venv "$folder/venv"
"$folder/venv/bin/pip" install --quiet --no-index "$source"
"$folder/venv/bin/pip" wheel --quiet --no-index --no-deps "$source" -w "$folder/wheel"
ls "$folder"/wheel/ksthid-*-py3-none-any.whl >/dev/null
# Away from the source tree, so that the installed package is the one imported.
cd "$folder"
KSTHID_LIBRARY=$library QV6180_LIBRARY=$chip_library KSTHID_SIMULATE=1 "$folder/venv/bin/python" -c '
import ksthid, qv6180
assert ksthid.__file__.startswith("'"$folder"'/venv/"), ksthid.__file__
assert qv6180.__file__.startswith("'"$folder"'/venv/"), qv6180.__file__
vout_max, vout_min = qv6180.range_from_resistors(18, 10000, 24900, 39200)
assert round(vout_max, 3) == 11.002 and round(vout_min, 3) == 9.637, (vout_max, vout_min)
with ksthid.open(0) as board, ksthid.SMBus(board) as bus:
    board.gpio.set(0x12, 0x34)
    assert board.gpio.value == (0x12, 0x34)
    bus.write_byte_data(0x50, 0x10, 0xA5)
    assert bus.read_byte_data(0x50, 0x10) == 0xA5
'
if KSTHID_LIBRARY=/nonexistent/libksthid.so "$folder/venv/bin/python" -c 'import ksthid' 2>"$folder/err"; then
  echo "imported without a library" >&2
  exit 1
fi
grep -q "ImportError: cannot load the ksthid library.*looked at /nonexistent/libksthid.so" "$folder/err"
