#!/usr/bin/env bash
# Builds everything and runs every test: the Win32 tests under Wine in Xvfb,
# then the window-free units with sanitizers and a bounded fuzz run.
# Usage: scripts/test.sh [build-dir] [ctest -R regex]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$here/build}")
filter=${2:-}

"$here/scripts/setup-deps.sh"

cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ -n "$filter" ]; then
  # Only the matching test executables (and what they depend on), so one
  # area's unfinished work never stops another area's tests.
  tests=$(ctest --test-dir "$build" -N -R "$filter" | sed -n 's/^ *Test *#[0-9]*: //p')
  [ -n "$tests" ] || { echo "no test matches '$filter'"; exit 1; }
  # Tests that run a host script have no target of their own: build all then.
  known=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p')
  targets=""
  for t in $tests; do
    if grep -qx "$t" <<<"$known"; then targets="$targets $t"; else targets="all"; break; fi
  done
  cmake --build "$build" -j"$(nproc)" --target $targets
else
  cmake --build "$build" -j"$(nproc)"
fi

source "$here/scripts/wine-env.sh"
zp_wine_up "$build"

status=0
# The sanitizer and fuzz checks first, so CTest's summary closes the output.
if [ -z "$filter" ] && [ -x "$here/scripts/host-check.sh" ]; then
  "$here/scripts/host-check.sh" "$build/host" "${ZP_FUZZ_SECONDS:-60}" || status=1
fi
ctest --test-dir "$build" --output-on-failure ${filter:+-R "$filter"} || status=1
[ $status -eq 0 ] || echo "scripts/test.sh: FAILED"
exit $status
