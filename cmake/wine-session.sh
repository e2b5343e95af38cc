#!/bin/sh
# The Wine session of a test run: a prefix of the build's own, an X display
# (Xvfb, when none is given) and one wineserver kept running for the whole run,
# so that every test process starts in a fraction of a second.
#
#   wine-session.sh prefix STATE_DIR   create the prefix if it does not exist
#   wine-session.sh start  STATE_DIR [--window-manager]
#                                      prefix, display and wineserver; with the
#                                      option, a window manager on a display of
#                                      our own (see start_window_manager)
#   wine-session.sh stop   STATE_DIR   end the wineserver and the display
#   wine-session.sh fresh  STATE_DIR   stop, then remove the prefix
set -eu
command=$1
state=$2
option=${3:-}
mkdir -p "$state"
export WINEPREFIX="${WINEPREFIX:-$state/prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"

make_prefix() {
  # Two test processes may ask at once; the first builds it, the other waits.
  exec 9>"$state/prefix.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # No Mono or Gecko installers: they would ask for a download.
    WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >"$state/wineboot.log" 2>&1
    wineserver -w
  fi
  flock -u 9
}

start_display() {
  if [ -n "${DISPLAY:-}" ]; then
    echo "$DISPLAY" >"$state/display"
    return 0
  fi
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  tries=0
  until [ -e "/tmp/.X11-unix/X$n" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ]; then
      echo "Xvfb did not start; see $state/xvfb.log" >&2
      exit 1
    fi
    sleep 0.1
  done
  echo ":$n" >"$state/display"
}

# Without a window manager, Wine's X11 driver waits about two seconds for
# one each time a window is hidden, and the program stands still meanwhile
# (after Close in the configuration dialog, say). On a desktop there is one;
# on our own Xvfb display, twm plays its part.
start_window_manager() {
  [ -f "$state/xvfb.pid" ] || return 0
  if ! command -v twm >/dev/null 2>&1; then
    echo "twm is not installed: hiding a window will hold Wine for two seconds" >&2
    return 0
  fi
  DISPLAY=$(cat "$state/display") setsid twm >"$state/twm.log" 2>&1 </dev/null &
  echo $! >"$state/twm.pid"
}

stop_display() {
  if [ -f "$state/twm.pid" ]; then
    kill "$(cat "$state/twm.pid")" 2>/dev/null || true
    rm -f "$state/twm.pid"
  fi
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid"
  fi
  rm -f "$state/display"
}

case "$command" in
  prefix)
    make_prefix
    ;;
  start)
    make_prefix
    # A wineserver left running keeps its desktop on the display it began
    # with; everything starts afresh on this run's display.
    wineserver -k 2>/dev/null || true
    stop_display
    start_display
    [ "$option" = --window-manager ] && start_window_manager
    # Persistent until 'stop'; detached so that CTest does not wait for it.
    setsid wineserver -p >/dev/null 2>&1 </dev/null &
    # The first program of a session starts Wine's services and desktop,
    # which live on; started here, they hold no test's output open.
    DISPLAY=$(cat "$state/display") \
      wine cmd /c exit >/dev/null 2>&1 </dev/null
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    stop_display
    ;;
  fresh)
    wineserver -k 2>/dev/null || true
    stop_display
    rm -rf "$WINEPREFIX"
    ;;
  *)
    echo "usage: $0 prefix|start|stop|fresh STATE_DIR [--window-manager]" >&2
    exit 2
    ;;
esac
