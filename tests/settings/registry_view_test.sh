#!/bin/sh
# One settings key for both builds: a program of this build, run in a 64-bit
# prefix, reads and writes HKLM\Software\Pipstack of the 64-bit registry view,
# which Wine's 64-bit reg (a 64-bit program) then reads. A 32-bit program that
# left it to the system would find Software\WOW6432Node\Pipstack instead.
#
#   registry_view_test.sh WINE_RUN BIN_DIR
# BIN_DIR holds pipstack.exe beside the virtual port.
set -u
run=$1 bin=$2
settings='HKLM\Software\Pipstack'
redirected='HKLM\Software\WOW6432Node\Pipstack'
meter=""
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
reg_has() { "$run" reg query "$@" >/dev/null 2>&1; }
cleanup() {
  [ -z "$meter" ] || kill "$meter" 2>/dev/null
  "$run" reg delete "$settings" /f >/dev/null 2>&1
  "$run" reg delete "$redirected" /f >/dev/null 2>&1
}
trap cleanup EXIT

cleanup
# A setting a user's earlier run, of either build, would have left.
"$run" reg add "$settings" /v "Write Delay" /t REG_DWORD /d 119 /f >/dev/null 2>&1 || fail "reg add failed"

(cd "$bin" && exec "$run" pipstack.exe LPT1) >/dev/null 2>&1 &
meter=$!
# Up once it has written the defaults of what it did not find.
tries=0
until reg_has "$settings" /v "LED 8 Ceiling"; do
  tries=$((tries + 1))
  [ $tries -le 200 ] || fail "the meter wrote no settings into the 64-bit view"
  kill -0 "$meter" 2>/dev/null || fail "the meter ended at start"
  sleep 0.1
done
# Quit as at its Quit button: the settings of this run are saved.
"$run" cmd /c taskkill /im pipstack.exe >/dev/null 2>&1
wait "$meter"
meter=""

"$run" reg query "$settings" /v "Write Delay" 2>/dev/null | grep -q '0x77' ||
  fail "the meter did not read and keep the 64-bit view's Write Delay"
! reg_has "$redirected" || fail "settings were written to $redirected"
echo "the settings key is the 64-bit view's: read, kept and saved there"
