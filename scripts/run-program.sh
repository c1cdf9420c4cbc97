#!/usr/bin/env bash
# Builds the program folder <build>/bin (ZeltoPrg.exe with its language
# modules and help files, the stand-in port library and the demonstration
# plug-in: target zp_program_folder) and runs the program under Wine on a
# private Xvfb display (or on the current display with ZP_KEEP_DISPLAY=1).
# Usage: scripts/run-program.sh [build-dir] [program parameters...]
#   (build-dir defaults to ./build, or ./build-x64 for the 64-bit variant:
#   see scripts/variant.sh; ZP_ARCH=32 or 64 forces one)
#   ZP_PORTS      bases that answer (default "378"), e.g. "278,378,3BC" or ""
#   ZP_TIMEOUT    seconds before the program is stopped (default: none)
#   ZP_AUTO_ANSWER=1 / ZP_MESSAGE_LOG=<file>: answer message boxes with
#                 their default button and log their texts instead of
#                 showing them
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

source "$here/scripts/variant.sh"
zp_select_variant "$here"
build=$(realpath -m "${1:-$(zp_default_build "$here")}")
[ $# -gt 0 ] && shift
zp_configure "$here" "$build"
cmake --build "$build" -j"$(nproc)" --target zp_program_folder

source "$here/scripts/wine-env.sh"
zp_wine_up "$build"

# The stand-in port library's configuration, kept apart from the tests' own.
mkdir -p "$build/run"
printf 'PORTS=%s\nBIDIR=378\n' "${ZP_PORTS-378}" >"$build/run/ZeltoProgBasic.cfg"
ZP_PORTLIB_CONFIG=$(winepath -w "$build/run/ZeltoProgBasic.cfg" 2>/dev/null)
export ZP_PORTLIB_CONFIG
# The message log is opened by the program: hand it a Windows path too.
if [ -n "${ZP_MESSAGE_LOG:-}" ]; then
  ZP_MESSAGE_LOG=$(winepath -w "$(realpath -m "$ZP_MESSAGE_LOG")" 2>/dev/null)
  export ZP_MESSAGE_LOG
fi

cd "$build/bin"
status=0
if [ -n "${ZP_TIMEOUT:-}" ]; then
  timeout "$ZP_TIMEOUT" wine ZeltoPrg.exe "$@" || status=$?
else
  wine ZeltoPrg.exe "$@" || status=$?
fi
echo "ZeltoPrg.exe ended with exit code $status"
exit $status
