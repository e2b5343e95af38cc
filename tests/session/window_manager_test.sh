#!/usr/bin/env bash
# The session that the demo and the benchmark run on: started with
# --window-manager, a window manager holds its display and the meter resumes
# well within a second after Close (with none, Wine holds it two seconds);
# a window manager that cannot start fails the start and leaves nothing;
# two sessions that start at once get displays of their own.
#
#   window_manager_test.sh STATE_DIR BIN_DIR BENCH_PROBE
# BIN_DIR holds pipstack.exe beside the virtual port and our pdh.dll;
# the session has its own prefix and display under STATE_DIR.
set -uo pipefail
state=$1 bin=$2 probe=$3
session=$(cd "$(dirname "$0")/../.." && pwd)/cmake/wine-session.sh
wine=$(dirname "$session")/wine-exec.sh
export WINEPREFIX=$state/prefix WINEDEBUG=-all WINEDLLOVERRIDES="pdh=n,b"
unset DISPLAY
scratch=$(mktemp -d)
beside=$state/beside starting=
# A second session still starting when a check fails is let finish, then
# stopped with the rest.
trap '[ -z "$starting" ] || wait "$starting"; "$session" stop "$state"
      WINEPREFIX=$beside/prefix "$session" stop "$beside"; rm -rf "$scratch"' EXIT
fail() {
  echo "FAIL: $1" >&2
  exit 1
}
# Processes of this session: the session starts each of them, Xvfb and twm
# too, with its prefix in the environment.
session_processes() { grep -lz "^WINEPREFIX=$WINEPREFIX\$" /proc/[0-9]*/environ 2>/dev/null; }

# A twm that ends at once, as it does where its fonts are missing.
printf '#!/bin/sh\necho "twm:  unable to open fontset" >&2\nexit 1\n' >"$scratch/twm"
chmod +x "$scratch/twm"
PATH=$scratch:$PATH "$session" start "$state" --window-manager 2>"$scratch/start.err" &&
  fail "the session started although its window manager had ended"
grep -q "twm is not running" "$scratch/start.err" || fail "no reason given: $(cat "$scratch/start.err")"
[ -z "$(session_processes)" ] || fail "the failed start left processes running: $(session_processes)"

# A build's tests start their own session and this one at the same moment:
# a second session started beside it (its prefix made first, so that both
# reach their displays together) gets a display of its own.
WINEPREFIX=$beside/prefix "$session" prefix "$beside" >/dev/null 2>&1 || fail "no prefix for the second session"
WINEPREFIX=$beside/prefix "$session" start "$beside" >"$scratch/beside.err" 2>&1 &
starting=$!
"$session" start "$state" --window-manager || fail "the session did not start"
wait "$starting" || fail "the session started beside it did not start: $(cat "$scratch/beside.err")"
[ "$(cat "$beside/display")" != "$(cat "$state/display")" ] ||
  fail "both sessions took the display $(cat "$state/display")"
WINEPREFIX=$beside/prefix "$session" check "$beside" || fail "the display of the session beside it has ended"
WINEPREFIX=$beside/prefix "$session" stop "$beside"
DISPLAY=$(cat "$state/display")
export DISPLAY
# A window manager holds the display's root window: a second one is refused.
second=$(timeout 5 twm 2>&1)
[ $? -ne 124 ] && grep -q "another window manager" <<<"$second" || fail "no window manager holds $DISPLAY"

# The probe holds the virtual port's machine from before the meter starts
# until the session ends, as in the benchmark.
"$wine" "$probe" hold >"$scratch/hold.txt" 2>&1 &
for _ in $(seq 300); do grep -q holding "$scratch/hold.txt" && break; sleep 0.1; done
"$wine" "$probe" settings 40 -1 || fail "the meter's settings were not written"
(cd "$bin" && exec "$wine" pipstack.exe LPT1) >/dev/null 2>&1 &
meter=$!
# Second line: Close → the meter's next LED byte, "count median p99 max" in ms.
figures=$("$wine" "$probe" dialog "Z:$bin" 3 40 | tr -d '\r') || fail "the dialog could not be shown and closed"
read -r count median _ max <<<"$(sed -n 2p <<<"$figures")"
echo "Close → next LED byte over $count Closes: median $median ms, max $max ms"
awk "BEGIN { exit !($max < 500) }" || fail "the meter resumed $max ms after Close"
"$wine" "$probe" quit || fail "the meter did not quit"
wait "$meter"
"$session" check "$state" || fail "the display or its window manager ended during the run"
