#!/usr/bin/env bash
# The README's first command as CI meets it, with no terminal and no display:
# tools/run.sh --once prints a frame with the meter's LED byte, exits 0 and
# leaves nothing it started running. tools/test.sh runs it after CTest.
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

env -u DISPLAY "$root/tools/run.sh" --once </dev/null >"$out" 2>&1
status=$?
[ $status -eq 0 ] || fail "exit code $status"
grep -Eq '^data +0x[0-9A-F]{2} ' "$out" && grep -Eq 'last data write +[0-9]+ ms ago' "$out" ||
  fail "no frame with the meter's byte"

# The run's display socket is gone, and no process carries the demo's prefix
# in its environment: the session starts each of its own with it, Xvfb and
# twm too, and the programs under Wine inherit it.
display=$(sed -n 's/^Meter started .*(display :\([0-9]*\))\.$/\1/p' "$out")
[ -n "$display" ] || fail "no display named"
[ ! -e "/tmp/.X11-unix/X$display" ] || fail "its display :$display is still there"
left=$(grep -lz "^WINEPREFIX=$prefix\$" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3)
[ -z "$left" ] || fail "left running: $(ps -o pid=,comm= -p "$(echo $left | tr ' ' ,)" | tr '\n' ' ')"
echo "tools/run.sh --once: a frame with the meter's byte, nothing left running"
