#!/bin/sh
# Runs a Windows program under Wine with the loader of the program's own
# bitness, in this very process (exec), so that a caller's process id is the
# program's: its CPU time, its end and a kill all reach the program itself.
#
#   wine-exec.sh PROGRAM [ARGUMENTS...]
#
# PROGRAM is a file, whose PE header says 32 or 64 bits, or the name of one of
# Wine's own programs (cmd, reg, taskkill, wineboot), which runs with the
# bitness of the prefix: a 64-bit reg in a 64-bit prefix, so that it sees the
# 64-bit registry view as a 64-bit Windows tool does.
#
# The plain "wine" command does not do this: once Debian's wine32 is
# installed it is the 32-bit loader, which starts a 64-bit program through
# start.exe in a second process; and without wine32, Wine's 64-bit loader
# "runs" a 32-bit program by failing silently with exit code 0.
set -eu
loaders=${PIPSTACK_WINE_LOADERS:-/usr/lib/wine}
loader32=$loaders/wine
loader64=$loaders/wine64

[ $# -ge 1 ] || { echo "usage: $0 PROGRAM [ARGUMENTS...]" >&2; exit 2; }

# 32 or 64 for a PE file, nothing for anything else. The PE header starts
# where the 32-bit number at offset 0x3C says; its machine field follows the
# four-byte signature.
pe_bits() {
  [ -f "$1" ] || return 0
  [ "$(od -An -c -N2 "$1" | tr -d ' ')" = MZ ] || return 0
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  case "$(od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' ')" in
    014c) echo 32 ;;
    8664) echo 64 ;;
  esac
}

# The prefix's bitness: what wineboot recorded, or for a prefix not yet made,
# what WINEARCH asks for (64 bits unless it says win32).
prefix_bits() {
  registry=${WINEPREFIX:-$HOME/.wine}/system.reg
  if [ -f "$registry" ]; then
    if grep -q '^#arch=win32' "$registry"; then echo 32; else echo 64; fi
  elif [ "${WINEARCH:-}" = win32 ]; then
    echo 32
  else
    echo 64
  fi
}

program_bits=$(pe_bits "$1")
prefix=$(prefix_bits)
bits=${program_bits:-$prefix}
if [ "$bits" = 64 ] && [ "$prefix" = 32 ]; then
  echo "wine-exec.sh: $1 is a 64-bit program; the 32-bit prefix ${WINEPREFIX:-$HOME/.wine} cannot run it" >&2
  exit 126
fi
if [ "$bits" = 32 ]; then
  loader=$loader32
  if [ ! -x "$loader" ]; then
    echo "wine-exec.sh: $1 needs Wine's 32-bit loader $loader, which is missing" >&2
    echo "  (Debian's wine32:i386, which tools/install-deps.sh installs)" >&2
    exit 127
  fi
else
  loader=$loader64
fi
# Programs that this one starts (Wine's services, a second program) are
# started through the same loader; Wine finds the other bitness's beside it.
WINELOADER=$loader
export WINELOADER
exec "$loader" "$@"
