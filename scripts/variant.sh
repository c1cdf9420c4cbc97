# Sourced by the scripts: decides once which Windows variant this machine
# builds and runs, installs what it needs and says which in one line.
#   32  the product: 32-bit Windows, run under 32-bit Wine. Taken where the
#       kernel runs 32-bit programs.
#   64  the same sources for 64-bit Windows, run under 64-bit Wine in a
#       64-bit prefix. Taken where the kernel runs no 32-bit programs (its
#       32-bit emulation switched off) or 32-bit Wine cannot be installed.
# ZP_ARCH=32 or ZP_ARCH=64 forces either.
# Usage: zp_select_variant <repo> [extra variant]; then $ZP_ARCH, and
# zp_default_build <repo>, zp_configure <repo> <build-dir> for that variant.

# True when the kernel starts a 32-bit x86 program: a 93-byte static
# i386 ELF (_start: xor %ebx,%ebx; mov $1,%eax; int $0x80, i.e. exit(0)).
# Written into the repository, since /tmp may forbid running programs.
zp_kernel_runs_32bit() {
  local probe status=0
  probe=$(mktemp "$1/.zp-probe32.XXXXXX") || return 1
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\061\333\270\001\000\000\000\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return $status
}

# zp_select_variant <repo> [also]: sets and exports ZP_ARCH; with "also",
# installs the 64-bit variant's tools too where the 32-bit one is chosen.
zp_select_variant() {
  local repo=$1 also=${2:-} reason forced=${ZP_ARCH:-} status=0
  case "$forced" in
    "" | 32 | 64) ;;
    *) echo "ZP_ARCH must be 32 or 64, not '$forced'" >&2; return 1 ;;
  esac
  if [ -n "$forced" ]; then
    ZP_ARCH=$forced
    reason="forced by ZP_ARCH=$forced"
  elif zp_kernel_runs_32bit "$repo"; then
    ZP_ARCH=32
    reason="this machine runs 32-bit programs"
  else
    ZP_ARCH=64
    reason="this machine runs no 32-bit programs"
  fi
  local wanted=$ZP_ARCH
  [ "$ZP_ARCH" = 32 ] && [ "$also" = also ] && wanted="32 64"
  # shellcheck disable=SC2086
  "$repo/scripts/setup-deps.sh" $wanted || status=$?
  if [ $status -eq 3 ] && [ -z "$forced" ]; then
    # setup-deps.sh has said why 32-bit Wine could not be installed.
    ZP_ARCH=64
    reason="32-bit Wine could not be installed here"
    "$repo/scripts/setup-deps.sh" 64 || return 1
  elif [ $status -ne 0 ]; then
    return 1
  fi
  export ZP_ARCH
  if [ "$ZP_ARCH" = 32 ]; then
    echo "variant: 32-bit Windows under 32-bit Wine ($reason)"
  else
    echo "variant: 64-bit Windows under 64-bit Wine ($reason); it loads only 64-bit plug-ins"
  fi
}

# The build folder of a variant when none is named: ./build for the
# product, ./build-x64 for the 64-bit variant, so that neither overwrites
# the other.
zp_default_build() {
  if [ "${2:-$ZP_ARCH}" = 64 ]; then echo "$1/build-x64"; else echo "$1/build"; fi
}

# zp_configure <repo> <build-dir> [variant]: configures the folder for the
# variant, refusing one already configured for the other.
zp_configure() {
  local repo=$1 build=$2 arch=${3:-$ZP_ARCH} toolchain cached
  if [ "$arch" = 64 ]; then toolchain="$repo/cmake/mingw-x86_64.cmake"; else toolchain="$repo/cmake/mingw-i686.cmake"; fi
  if [ -f "$build/CMakeCache.txt" ]; then
    cached=$(sed -n 's/^CMAKE_TOOLCHAIN_FILE:[A-Z]*=//p' "$build/CMakeCache.txt")
    if [ -n "$cached" ] && [ "$(realpath -m "$cached")" != "$(realpath -m "$toolchain")" ]; then
      echo "$build was configured for the other variant ($cached);" \
        "name another build folder, remove this one, or set ZP_ARCH to match it" >&2
      return 1
    fi
  fi
  local log
  log=$(mktemp)
  if ! cmake -S "$repo" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "configuring $build failed (see above)" >&2
    return 1
  fi
  rm -f "$log"
}
