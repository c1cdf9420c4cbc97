#!/usr/bin/env bash
# Builds everything and runs every test: the Win32 tests under Wine in Xvfb,
# then the window-free units with sanitizers and a bounded fuzz run.
# The variant is chosen once (scripts/variant.sh): the product (32-bit)
# where this machine runs 32-bit programs, else the 64-bit one. With the
# product, the 64-bit variant's plug-in guard and device tests run too, so
# that neither variant rots unseen. ZP_ARCH=32 or 64 forces one.
# Usage: scripts/test.sh [build-dir] [ctest -R regex]
#   build-dir defaults to ./build (32-bit) or ./build-x64 (64-bit)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
filter=${2:-}

source "$here/scripts/variant.sh"
also=""
[ -z "$filter" ] && [ -z "${ZP_ARCH:-}" ] && also=also
zp_select_variant "$here" $also
build=$(realpath -m "${1:-$(zp_default_build "$here")}")

# build_tests <build-dir> <regex or empty>: configures and builds the
# folder, only the matching test executables (and what they depend on)
# when a regex is given, so one area's unfinished work never stops
# another area's tests.
build_tests() {
  local dir=$1 regex=$2 tests known targets="" t
  zp_configure "$here" "$dir" "${3:-$ZP_ARCH}" || return 1
  if [ -z "$regex" ]; then
    cmake --build "$dir" -j"$(nproc)"
    return
  fi
  tests=$(ctest --test-dir "$dir" -N -R "$regex" | sed -n 's/^ *Test *#[0-9]*: //p')
  [ -n "$tests" ] || { echo "no test matches '$regex'"; return 1; }
  # Tests that run a host script have no target of their own: build all then.
  known=$(cmake --build "$dir" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p')
  for t in $tests; do
    if grep -qx "$t" <<<"$known"; then targets="$targets $t"; else targets="all"; break; fi
  done
  # shellcheck disable=SC2086
  cmake --build "$dir" -j"$(nproc)" --target $targets
}

build_tests "$build" "$filter"
source "$here/scripts/wine-env.sh"

status=0
# The 64-bit variant's plug-in guard and device tests, beside the product's,
# on a display and prefix of their own.
if [ "$also" = also ] && [ "$ZP_ARCH" = 32 ]; then
  other=$(zp_default_build "$here" 64)
  guard_tests='^(harness_tests|device_tests)$'
  [ -n "${1:-}" ] && other=$(realpath -m "$build-x64")
  echo "== the 64-bit variant's plug-in guard and device tests, in $other"
  (
    build_tests "$other" "$guard_tests" 64 &&
      ZP_ARCH=64 zp_wine_up "$other" &&
      ctest --test-dir "$other" --output-on-failure -R "$guard_tests"
  ) || status=1
fi

zp_wine_up "$build"
# The sanitizer and fuzz checks first, so CTest's summary closes the output.
if [ -z "$filter" ] && [ -x "$here/scripts/host-check.sh" ]; then
  "$here/scripts/host-check.sh" "$build/host" "${ZP_FUZZ_SECONDS:-60}" || status=1
fi
ctest --test-dir "$build" --output-on-failure ${filter:+-R "$filter"} || status=1
[ $status -eq 0 ] || echo "scripts/test.sh: FAILED"
exit $status
