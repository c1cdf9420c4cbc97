#!/usr/bin/env bash
# The installer from end to end, unattended: builds the package folder
# (<build>/package: setup.exe, ZeltoPrg.exe with its language modules and
# help, the stand-in port library, the demonstration plug-in and marked
# placeholders for the outside files) and, under Wine on a private Xvfb
# display,
#   1. runs setup.exe and installs into a throwaway folder (a path with a
#      blank), with the demonstration plug-in ticked;
#   2. opens a ".ZLT" script through the shell's association (ShellExecute
#      "open"), so that the installed ZeltoPrg.exe programs the simulated
#      ATDEMO8 chip with demo/demo.hex, and compares the chip with the file;
#   3. runs setup.exe again and uninstalls;
# and prints what it checked. setup.exe is driven from outside by
# tests/installer/SetupDriver.cpp (window messages, as a user's clicks) and
# answers its own message boxes (ZP_AUTO_ANSWER=1).
# Usage: scripts/run-setup.sh [BUILD-DIR]   (default ./build, or ./build-x64
# for the 64-bit variant: see scripts/variant.sh)
# With ZP_SETUP_PREBUILT=1 (as CTest runs it) nothing is built, and the Wine
# prefix and display of the calling environment are used when it has them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

if [ "${ZP_SETUP_PREBUILT:-}" != 1 ]; then
  source "$here/scripts/variant.sh"
  zp_select_variant "$here"
  build=$(realpath -m "${1:-$(zp_default_build "$here")}")
  zp_configure "$here" "$build"
  cmake --build "$build" -j"$(nproc)" --target zp_package setup_driver
else
  build=$(realpath -m "${1:?usage: ZP_SETUP_PREBUILT=1 scripts/run-setup.sh BUILD-DIR}")
fi

source "$here/scripts/wine-env.sh"
if [ "${ZP_SETUP_PREBUILT:-}" = 1 ] && [ -n "${DISPLAY:-}" ] && [ -n "${WINEPREFIX:-}" ]; then
  # the test run's own prefix and display; its wineserver stays up
  zp_wine_tools "$build/wine-bin"
else
  zp_wine_up "$build"
fi

package="$build/package"
driver="$build/bin/setup_driver.exe"
for f in "$package/setup.exe" "$package/ZELTOPRG.exe" "$driver"; do
  [ -f "$f" ] || { echo "FAIL: $f is missing (build the targets zp_package and setup_driver)"; exit 1; }
done

work="$build/setup-run"
rm -rf "$work"
mkdir -p "$work/chip" "$work/scripts"
target="$work/Zelto Demo"
winpath() { winepath -w "$1" 2>/dev/null; }
run() { timeout 150 wine "$@" </dev/null | tr -d '\r'; }

failures=0
check() {  # check <description> <command...>
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
state_of() { grep "^$1=" <<<"$2" | head -1 | cut -d= -f2-; }

# Unattended: message boxes of setup.exe and ZeltoPrg.exe are answered with
# their default buttons and logged here.
export ZP_AUTO_ANSWER=1
export ZP_MESSAGE_LOG
ZP_MESSAGE_LOG=$(winpath "$work/messages.log")
: >"$work/messages.log"

before=$(run "$driver" state)
if [ "$(state_of record "$before")" = present ]; then
  # Left by an earlier run that was cut short: removed the way a user would.
  echo "== an earlier installation is in the Wine prefix; uninstalling it first"
  run "$driver" uninstall "$(winpath "$package/setup.exe")" >/dev/null || true
  before=$(run "$driver" state)
fi

echo "== install into $(winpath "$target")"
install_status=0
run "$driver" install "$(winpath "$package/setup.exe")" "$(winpath "$target")" \
  "Demo Plugin (simulation only)" | tee "$work/install.txt" || install_status=$?
after_install=$(run "$driver" state)
check "setup.exe reported INSTALLATION SUCCESSFUL!" test "$install_status" -eq 0
check "the installation folder holds ZELTOPRG.exe, its modules and DemoPlugin.dll" \
  bash -c 'cd "$1" && ls >/dev/null ZELTOPRG.exe ZELTOPRG.enu ZELTOPRG.fra ZELTOPRG.chm ZeltoProgBasic.dll DemoPlugin.dll' _ "$target"
check "the installation record names the folder" \
  test "$(state_of record.InstallPath "$after_install")" = "$(winpath "$target")\\"
check ".ZLT is bound to ZLTfile, opened by the installed program (quoted)" \
  test "$(state_of zlt.open "$after_install")" = "\"$(winpath "$target")\\ZeltoPrg.exe\" \"%1\""
check "the Start-menu link points at the installed program" \
  bash -c '[ "${1,,}" = "${2,,}" ]' _ "$(state_of link.program "$after_install")" "$(winpath "$target")\\ZeltoPrg.exe"

echo "== open a .ZLT script through the association"
# An erased chip, the port library's configuration and the script with the
# HEX file beside it (the script names it relative to its own folder).
printf 'DEVICE=ATDEMO8\nTRACE=1\n' >"$work/chip/DemoPlugin.cfg"
head -c 8192 /dev/zero | tr '\0' '\377' >"$work/chip/ATDEMO8.flash"
head -c 512 /dev/zero | tr '\0' '\377' >"$work/chip/ATDEMO8.eeprom"
printf 'PORTS=378\nBIDIR=378\n' >"$work/ZeltoProgBasic.cfg"
cp "$here/demo/demo.hex" "$work/scripts/demo.hex"
sed 's/^LOADFLASHBUFFER=.*/LOADFLASHBUFFER=demo.hex\r/' "$here/demo/demo.zlt" >"$work/scripts/demo.zlt"
export ZP_DEMO_DIR ZP_PORTLIB_CONFIG
ZP_DEMO_DIR=$(winpath "$work/chip")
ZP_PORTLIB_CONFIG=$(winpath "$work/ZeltoProgBasic.cfg")
open_status=0
run "$driver" open "$(winpath "$work/scripts/demo.zlt")" || open_status=$?
check "the installed ZeltoPrg.exe ran the script and ended with exit code 0" test "$open_status" -eq 0
check "the program was the installed copy (its plug-in trace is in the chip folder)" \
  test -s "$work/chip/DemoPlugin.trace"
chip_ok() {
  python3 - "$here/demo/demo.hex" "$work/chip/ATDEMO8.flash" <<'PY'
import sys
expected = bytearray(b"\xff" * 8192)
upper = 0
for line in open(sys.argv[1], encoding="ascii"):
    line = line.strip()
    if not line:
        continue
    record = bytes.fromhex(line[1:])
    count, address, kind = record[0], (record[1] << 8) | record[2], record[3]
    if kind == 0:
        expected[upper + address:upper + address + count] = record[4:4 + count]
    elif kind == 4:
        upper = ((record[4] << 8) | record[5]) << 16
    elif kind == 1:
        break
chip = bytearray(open(sys.argv[2], "rb").read())
chip += b"\xff" * (8192 - len(chip))
sys.exit(0 if chip[:8192] == expected else 1)
PY
}
check "the simulated ATDEMO8 holds demo.hex" chip_ok

echo "== uninstall"
uninstall_status=0
run "$driver" uninstall "$(winpath "$package/setup.exe")" | tee "$work/uninstall.txt" || uninstall_status=$?
after_uninstall=$(run "$driver" state)
check "setup.exe reported Uninstall process succeeded without errors." test "$uninstall_status" -eq 0
check "the installation folder is gone" test ! -e "$target"
check "the registry record, the association and the Start-menu group are as before the install" \
  test "$after_uninstall" = "$before"
if [ -s "$work/messages.log" ]; then
  echo "message boxes answered unattended:"
  sed 's/^/  /' "$work/messages.log"
fi
check "no message box but the two confirmations of setup.exe" \
  test "$(grep -c '' "$work/messages.log")" -eq 2 -a "$(grep -c '^box Confirm|' "$work/messages.log")" -eq 2

if [ "$failures" -eq 0 ]; then
  echo "OK"
  exit 0
fi
echo "FAIL: $failures check(s) failed"
exit 1
