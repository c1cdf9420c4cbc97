#!/usr/bin/env bash
# The main job from end to end, unattended: builds the program folder
# <build>/bin (target zp_program_folder, as scripts/run-program.sh does),
# puts an erased simulated ATDEMO8 chip into a fresh demo folder, and runs
#   ZeltoPrg.exe demo/demo.zlt
# under Wine on a private Xvfb display. The script loads DemoPlugin.dll,
# identifies the chip, reads demo/demo.hex into the Flash buffer, writes and
# verifies it, and exits. Afterwards the chip file is compared with the HEX
# file's bytes on the host, and the result and the exit code are printed.
# Usage: scripts/run-demo.sh
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

# The product where this machine runs 32-bit programs, else the 64-bit
# variant in ./build-x64 (ZP_ARCH=32 or 64 forces one: scripts/variant.sh).
source "$here/scripts/variant.sh"
zp_select_variant "$here"
build=$(zp_default_build "$here")
zp_configure "$here" "$build"
cmake --build "$build" -j"$(nproc)" --target zp_program_folder

source "$here/scripts/wine-env.sh"
zp_wine_up "$build"

# A fresh folder for the plug-in: its configuration, an erased chip (every
# byte $FF) and its call trace; the port library's configuration and the
# log of message boxes beside them.
demo="$build/demo-run"
rm -rf "$demo"
mkdir -p "$demo"
printf 'DEVICE=ATDEMO8\nTRACE=1\n' >"$demo/DemoPlugin.cfg"
head -c 8192 /dev/zero | tr '\0' '\377' >"$demo/ATDEMO8.flash"
head -c 512 /dev/zero | tr '\0' '\377' >"$demo/ATDEMO8.eeprom"
printf 'PORTS=378\nBIDIR=378\n' >"$demo/ZeltoProgBasic.cfg"
: >"$demo/messages.log"

winpath() { winepath -w "$1" 2>/dev/null; }
ZP_DEMO_DIR=$(winpath "$demo")
ZP_PORTLIB_CONFIG=$(winpath "$demo/ZeltoProgBasic.cfg")
# Unattended: any message box would be answered with its default button and
# logged instead of waiting; a clean run shows none.
ZP_AUTO_ANSWER=1
ZP_MESSAGE_LOG=$(winpath "$demo/messages.log")
export ZP_DEMO_DIR ZP_PORTLIB_CONFIG ZP_AUTO_ANSWER ZP_MESSAGE_LOG

# The script names demo\demo.hex relative to the current folder.
cd "$here"
echo "running: ZeltoPrg.exe demo/demo.zlt"
status=0
timeout 300 wine "$build/bin/ZeltoPrg.exe" demo/demo.zlt </dev/null || status=$?

result=0
python3 - "$here/demo/demo.hex" "$demo/ATDEMO8.flash" <<'EOF' || result=$?
import sys

hex_path, chip_path = sys.argv[1], sys.argv[2]
size = 8192
expected = bytearray(b"\xff" * size)
from_file = 0
upper = 0
for number, line in enumerate(open(hex_path, encoding="ascii"), 1):
    line = line.strip()
    if not line:
        continue
    record = bytes.fromhex(line[1:])
    if line[0] != ":" or sum(record) & 0xFF:
        sys.exit(f"demo.hex line {number}: not a valid record")
    count, address, kind = record[0], (record[1] << 8) | record[2], record[3]
    if kind == 0:
        start = upper + address
        expected[start:start + count] = record[4:4 + count]
        from_file += count
    elif kind == 4:
        upper = ((record[4] << 8) | record[5]) << 16
    elif kind == 1:
        break
chip = bytearray(open(chip_path, "rb").read())
chip += b"\xff" * (size - len(chip))
differences = [a for a in range(size) if chip[a] != expected[a]]
if differences:
    first = differences[0]
    print(f"chip differs from demo.hex at {len(differences)} addresses, "
          f"first ${first:04X}: chip ${chip[first]:02X}, file ${expected[first]:02X}")
    sys.exit(1)
print(f"the simulated ATDEMO8 holds demo.hex: {size} bytes compared, "
      f"{from_file} from the file's records, the rest erased ($FF)")
EOF

if [ -s "$demo/messages.log" ]; then
  echo "message boxes during the run:"
  sed 's/^/  /' "$demo/messages.log"
  result=1
else
  echo "no message box was shown"
fi
echo "ZeltoPrg.exe ended with exit code $status"
if [ "$result" -eq 0 ] && [ "$status" -eq 0 ]; then
  echo "OK"
  exit 0
fi
echo "FAIL"
exit 1
