#!/usr/bin/env bash
# cmake/wine-exec.sh picks the loader of the program's bitness (or, for Wine's
# own programs, the prefix's), sets WINELOADER to it and becomes the program's
# process; it refuses what cannot run. Loaders here are stand-ins that report
# how they were started, so both bitnesses are checked on any machine.
set -uo pipefail
exec_sh=$(cd "$(dirname "$0")/../.." && pwd)/cmake/wine-exec.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $1" >&2
  failures=$((failures + 1))
}

mkdir -p "$work/loaders" "$work/win64/prefix" "$work/win32/prefix"
for name in wine wine64; do
  printf '#!/bin/sh\necho "%s $WINELOADER $$ $*"\n' "$name" >"$work/loaders/$name"
  chmod +x "$work/loaders/$name"
done
echo '#arch=win64' >"$work/win64/prefix/system.reg"
echo '#arch=win32' >"$work/win32/prefix/system.reg"

# The least of a PE file that names its machine: "MZ", the header's offset
# at 0x3C, then "PE\0\0" and the machine (little-endian) at that offset.
pe() {
  { printf 'MZ'; head -c 58 /dev/zero; printf '\100\000\000\000'; printf 'PE\000\000'; printf "$2"; } >"$work/$1"
}
pe app32.exe '\114\001'
pe app64.exe '\144\206'

export PIPSTACK_WINE_LOADERS=$work/loaders
# prefix (none: not yet made), program, arguments -> loader, exit code
while read -r prefix program expected status; do
  case "$prefix" in none) dir=$work/new ;; *) dir=$work/$prefix ;; esac
  case "$program" in *.exe) path=$work/$program ;; *) path=$program ;; esac
  out=$(WINEPREFIX=$dir/prefix "$exec_sh" "$path" one "two words" 2>"$work/err")
  code=$?
  [ "$code" = "$status" ] || { fail "$program in $prefix: exit $code, not $status ($(cat "$work/err"))"; continue; }
  if [ "$expected" = - ]; then
    [ -s "$work/err" ] || fail "$program in $prefix: refused without saying why"
    continue
  fi
  read -r loader wineloader _ args <<<"$out"
  [ "$loader" = "$expected" ] || fail "$program in $prefix: started by $loader, not $expected"
  [ "$wineloader" = "$work/loaders/$expected" ] || fail "$program in $prefix: WINELOADER is $wineloader"
  [ "$args" = "$path one two words" ] || fail "$program in $prefix: arguments became '$args'"
done <<'CASES'
none app64.exe wine64 0
none app32.exe wine 0
win64 app32.exe wine 0
win64 reg wine64 0
none reg wine64 0
win32 reg wine 0
win32 app32.exe wine 0
win32 app64.exe - 126
CASES

# A new prefix that WINEARCH makes 32-bit runs Wine's own programs with the
# 32-bit loader.
out=$(WINEPREFIX=$work/new/prefix WINEARCH=win32 "$exec_sh" wineboot -i)
[ "${out%% *}" = wine ] || fail "wineboot for a new win32 prefix: started by ${out%% *}"

# The process id a caller holds is the program's.
"$exec_sh" "$work/app64.exe" >"$work/pid" &
pid=$!
wait "$pid"
read -r _ _ seen _ <"$work/pid"
[ "$seen" = "$pid" ] || fail "the program ran as process $seen, the caller holds $pid"

# Without the 32-bit loader a 32-bit program is refused, and the message
# says how to install it; a 64-bit one still runs.
rm "$work/loaders/wine"
WINEPREFIX=$work/win64/prefix "$exec_sh" "$work/app32.exe" 2>"$work/err" >/dev/null
code=$?
[ $code = 127 ] && grep -q 'wine32' "$work/err" || fail "32-bit program without wine32: exit $code, $(cat "$work/err")"
out=$(WINEPREFIX=$work/win64/prefix "$exec_sh" "$work/app64.exe")
[ "${out%% *}" = wine64 ] || fail "64-bit program without wine32: $out"

[ $failures -eq 0 ] || exit 1
echo "wine-exec.sh: loaders chosen by program and prefix, process kept, missing wine32 refused"
