#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian machine, once:
# what every variant needs, then the cross compiler and Wine of each variant
# named (32: the product, under 32-bit Wine; 64: under 64-bit Wine).
# Quick when everything is there already.
# Usage: scripts/setup-deps.sh [32] [64]   (default: 32)
# Exit status: 0 done; 3 only the 32-bit variant's packages could not be
# installed (the caller may take the 64-bit variant); 1 anything else.
# Every failure says what failed and what to do.
set -uo pipefail

variants=("$@")
[ ${#variants[@]} -gt 0 ] || variants=(32)

# fonts-liberation (v1, not fonts-liberation2) carries Liberation Sans Narrow,
# which has Arial Narrow's widths: the grids' font where Arial Narrow is missing.
# fonts-wine carries Marlett, the title bars' button symbols (see wine-env.sh).
common=(cmake make wine xvfb xauth googletest clang libclang-rt-14-dev fp-utils libchm-bin python3
        fonts-liberation fonts-wine)
packages32=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine32:i386)
packages64=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

updated=""
# A failed index download (a mirror in the middle of a sync, no network)
# is said, not fatal: the lists apt already has may hold what is needed.
update_lists() {
  [ -n "$updated" ] && return 0
  updated=1
  local log
  log=$(mktemp)
  if ! $SUDO apt-get update -qq >"$log" 2>&1; then
    echo "setup-deps: 'apt-get update' did not fetch every package list; going on with those apt has:"
    grep -E '^(E|W|Err):' "$log" | head -5 | sed 's/^/  /'
  fi
  rm -f "$log"
}

# install <what> <packages...>: installs those missing; says why not.
install() {
  local what=$1 log
  shift
  local missing
  mapfile -t missing < <(missing_of "$@")
  [ ${#missing[@]} -eq 0 ] && return 0
  update_lists
  echo "installing ($what): ${missing[*]}"
  log=$(mktemp)
  if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >"$log" 2>&1; then
    echo "setup-deps: could not install ${missing[*]}:"
    grep -E '^(E:| [^ ].*: Depends)' "$log" | head -8 | sed 's/^/  /'
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

if ! install "every variant" "${common[@]}"; then
  echo "setup-deps: what every build needs is missing. Check that apt reaches Debian's" \
    "package lists ('apt-get update'), then run the command again."
  exit 1
fi

status=0
for v in "${variants[@]}"; do
  case "$v" in
    32)
      if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386 && updated=""
      fi
      if ! install "32-bit variant" "${packages32[@]}"; then
        echo "setup-deps: 32-bit Wine and its cross compiler could not be installed; a package list" \
          "for i386 that did not download (see above) is the usual cause. Run the command again" \
          "later, or set ZP_ARCH=64 to build and run the 64-bit variant."
        [ $status -eq 0 ] && status=3
      fi
      ;;
    64)
      if ! install "64-bit variant" "${packages64[@]}"; then
        echo "setup-deps: 64-bit Wine and its cross compiler could not be installed; check that apt" \
          "reaches Debian's package lists ('apt-get update'), then run the command again."
        status=1
      fi
      ;;
    *)
      echo "setup-deps: unknown variant '$v' (32 or 64)"
      exit 1
      ;;
  esac
done
exit $status
