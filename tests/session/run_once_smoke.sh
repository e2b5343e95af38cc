#!/usr/bin/env bash
# The README's first command as CI meets it, with no terminal and no display:
# tools/run.sh --once prints a frame with the meter's LED byte, exits 0 and
# leaves nothing it started running; and so do the demos on the two USB
# outputs (tools/run.sh serial --once, tools/run.sh ftdi --once). tools/test.sh
# runs it after CTest.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$root/build/demo/prefix
out=$(mktemp)
trap 'rm -f "$out"' EXIT
fail() {
  echo "FAIL: tools/run.sh --once: $1" >&2
  sed 's/^/  | /' "$out" >&2
  exit 1
}

# One demo: its frame, its display gone, nothing of it left running.
check_demo() {
  env -u DISPLAY "$root/tools/run.sh" "$@" --once </dev/null >"$out" 2>&1
  status=$?
  [ $status -eq 0 ] || fail "exit code $status"
  grep -Eq '^(data|pins|LEDs) +0x[0-9A-F]{2} ' "$out" || fail "no frame with the meter's byte"

  # The run's display socket is gone, and no process carries the demo's
  # prefix in its environment: the session starts each of its own with it,
  # Xvfb and twm too, and the programs under Wine inherit it. The simulated
  # board ends with the session.
  display=$(sed -n 's/^Meter started .*(display :\([0-9]*\))\.$/\1/p' "$out")
  [ -n "$display" ] || fail "no display named"
  [ ! -e "/tmp/.X11-unix/X$display" ] || fail "its display :$display is still there"
  left=$(grep -lz "^WINEPREFIX=$prefix\$" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3)
  [ -z "$left" ] || fail "left running: $(ps -o pid=,comm= -p "$(echo $left | tr ' ' ,)" | tr '\n' ' ')"
  [ ! -f "$root/build/demo/serial/line7.pid" ] || fail "the simulated board is still running"
}

check_demo
check_demo serial
check_demo ftdi
echo "tools/run.sh --once, serial --once, ftdi --once: a frame with the meter's byte, nothing left running"
