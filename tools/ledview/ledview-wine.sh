#!/bin/sh
# Runs ledview.exe under Wine in this terminal and follows its resizes.
#
#   ledview-wine.sh PATH/TO/ledview.exe [ledview's arguments]
#
# Wine's console learns the terminal's size when a program starts and never
# hears of a resize, so on SIGWINCH the viewer is stopped the way Ctrl+C
# stops it (Wine turns SIGINT into a console Ctrl+C) and started again at
# the new size. Ctrl+C typed in the terminal ends it for good. The Wine
# command is $LEDVIEW_WINE, by default cmake/wine-exec.sh, which starts the
# viewer with the loader of its bitness as the process whose id we hold.
set -u
wine=${LEDVIEW_WINE:-$(cd "$(dirname "$0")/../.." && pwd)/cmake/wine-exec.sh}
resized=0
pid=

trap 'resized=1; [ -n "$pid" ] && kill -INT "$pid" 2>/dev/null' WINCH
# Ended from outside: end the viewer with its clean exit, then ourselves.
trap '[ -n "$pid" ] && kill -INT "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; exit 130' INT TERM HUP

while :; do
  resized=0
  # Started in the background so that the shell can take the signal while
  # it waits; the terminal stays its input.
  "$wine" "$@" 0<&0 &
  pid=$!
  status=0
  # A trapped signal interrupts wait; wait again until the viewer is gone.
  while :; do
    wait "$pid"
    status=$?
    kill -0 "$pid" 2>/dev/null || break
  done
  pid=
  [ "$resized" = 1 ] || exit "$status"
  # Let a burst of resize events settle before painting again.
  sleep 0.2
done
