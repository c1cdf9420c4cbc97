#!/usr/bin/env bash
# Host check of the window-free units: builds them and their tests with the
# host's clang under AddressSanitizer/UBSan, runs the tests, then fuzzes the
# Intel HEX reader for a bounded time. Exits non-zero on any test failure,
# crash, leak or sanitizer report.
# Usage: scripts/host-check.sh <build-dir> [fuzz-seconds, default 60; 0 skips fuzzing]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:?usage: scripts/host-check.sh <build-dir> [fuzz-seconds]}")
seconds=${2:-60}

cmake -S "$here/tests/host" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== sanitized logic tests"
"$build/logic_tests" --gtest_color=no

[ "$seconds" -gt 0 ] || exit 0

# Seeds: well-formed files and near misses, each behind the two bytes that
# choose the buffer length (a first byte of 0x80 and above picks a buffer beyond 64 KiB).
seeds="$build/fuzz-seeds"
corpus="$build/fuzz-corpus"
artifacts="$build/fuzz-artifacts"
rm -rf "$seeds" "$artifacts"
mkdir -p "$seeds" "$corpus" "$artifacts"
seed() { printf '%b' "$2" >"$seeds/$1"; }
seed end        '\x01\x00:00000001FF\r\n'
seed data       '\x01\x00:0400100001020304E2\r\n:00000001FF\r\n'
seed lf         '\x01\x00:0400100001020304e2\n:00000001ff'
seed full       '\x01\x00:10000000000102030405060708090A0B0C0D0E0F78\r\n:0400100010111213A6\r\n:00000001FF\r\n'
seed linear     '\x80\x00:020000040001F9\r\n:0100000042BD\r\n:00000001FF\r\n'
seed segment    '\x80\x00:020000021000EC\r\n:0100000042BD\r\n:00000001FF\r\n'
seed decimal    '\x00\x10:00000010F0\r\n:000000+1FF\r\n'
seed baddata    '\x00\x20:00000001FF\r\n:01000000G1EE\r\n'
seed capacity   '\x00\x10:0403FD0001020304F2\r\n'
seed blank      '\x00\x10:00000001FF\r\n\r\n'

dict="$build/hexfile.dict"
printf '%s\n' '":"' '"\x0d\x0a"' '"00000001FF"' '"02000004"' '"02000002"' '"10000000"' '"00"' '"FF"' >"$dict"

echo "== fuzzing the Intel HEX reader for ${seconds}s"
"$build/hexfile_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -dict="$dict" \
  -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" "$seeds"
