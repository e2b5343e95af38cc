#!/bin/sh
# The Wine session of a test run: a prefix of the build's own, an X display
# (Xvfb, when none is given) and one wineserver kept running for the whole run,
# so that every test process starts in a fraction of a second.
#
#   wine-session.sh prefix STATE_DIR   create the prefix if it does not exist
#   wine-session.sh start  STATE_DIR [--window-manager]
#                                      prefix, display and wineserver; with the
#                                      option, a window manager on a display of
#                                      our own (see start_window_manager); the
#                                      serial ports COM7 to COM9 name the files
#                                      STATE_DIR/serial/line7 to line9, where
#                                      the simulated board and the test devices
#                                      put their pseudo-terminals (not comN:
#                                      to Windows a file comN.anything is the
#                                      port itself)
#   wine-session.sh check  STATE_DIR   fail unless the Xvfb and window manager
#                                      the session started still run
#   wine-session.sh stop   STATE_DIR   end the wineserver and the display
#   wine-session.sh fresh  STATE_DIR   stop, then remove the prefix and the
#                                      last run's wine-start.log (wine-run.sh)
#
# A start whose Xvfb or window manager is not running a moment later says
# why, stops what it started and exits with 1; so does one whose Wine
# program fails twice (wineboot, reg, the session's first program).
set -eu
command=$1
state=$2
option=${3:-}
mkdir -p "$state"
# Wine takes only an absolute prefix; a relative one made 'stop' miss the
# wineserver it was to end.
state=$(cd "$state" && pwd)
# Wine's own programs run with the prefix's loader (see wine-exec.sh).
wine_exec=$(cd "$(dirname "$0")" && pwd)/wine-exec.sh
export WINEPREFIX="${WINEPREFIX:-$state/prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"

# Runs one of Wine's programs with its output in LOG. A failure is said with
# what the program wrote, and tried once more on a wineserver of its own (one
# left from an earlier run, or ending as the program starts, can fail it at
# once); a second failure ends the script.
wine_step() {
  log=$1
  shift
  "$wine_exec" "$@" >"$log" 2>&1 && return 0
  echo "wine-session.sh: '$*' failed (status $?); trying once more. It said:" >&2
  tail -n 5 "$log" >&2
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  "$wine_exec" "$@" >"$log" 2>&1 && return 0
  status=$?
  echo "wine-session.sh: '$*' failed twice (status $status) in $WINEPREFIX; it said:" >&2
  tail -n 5 "$log" >&2
  give_up
}

make_prefix() {
  # Two test processes may ask at once; the first builds it, the other waits.
  exec 9>"$state/prefix.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # No Mono or Gecko installers: they would ask for a download.
    WINEDLLOVERRIDES="mscoree,mshtml=" wine_step "$state/wineboot.log" wineboot -i
    wineserver -w
  elif [ -x /usr/lib/wine/wine ] && grep -q '^#arch=win64' "$WINEPREFIX/system.reg" &&
       [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    # A 64-bit prefix made before wine32 was installed has no 32-bit system
    # files, and a 32-bit program ends there at once with no word. Wine's own
    # update adds them, once it no longer takes the prefix as up to date.
    echo "wine-session.sh: adding Wine's 32-bit files to $WINEPREFIX" >&2
    rm -f "$WINEPREFIX/.update-timestamp"
    WINEDLLOVERRIDES="mscoree,mshtml=" wine_step "$state/wineboot.log" wineboot -u
    wineserver -w
  fi
  flock -u 9
}

# Wine maps COMn to a Unix path through HKLM\Software\Wine\Ports, which
# its mount manager reads when the prefix's services start; that is at the
# session's first program, after the wineserver has been ended. The path need
# not exist yet: the port opens once something is there.
map_serial_ports() {
  mkdir -p "$state/serial"
  for n in 7 8 9; do
    grep -qF "\"COM$n\"=\"$state/serial/line$n\"" "$WINEPREFIX/system.reg" 2>/dev/null && continue
    wine_step "$state/reg.log" reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /d "$state/serial/line$n" /f
  done
}

# True until a child we just started has ended. Until setsid has exec'd the
# program, the child still bears setsid's name; our own child's pid is ours
# until we reap it.
started() {
  info=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
  case "$info" in
    *Z*) return 1 ;;
  esac
}

# True while process PID runs the program NAME; a zombie has ended, and a
# stale pid file whose number now belongs to another program names nothing.
running() {
  started "$1" && [ "$(ps -o comm= -p "$1" 2>/dev/null)" = "$2" ]
}

# Ends the process of a pid file this session wrote, and waits until it is
# gone, so that nothing of the session outlives 'stop'.
end_process() {
  [ -f "$1" ] || return 0
  pid=$(cat "$1")
  if running "$pid" "$2"; then
    kill "$pid" 2>/dev/null || true
    tries=0
    while running "$pid" "$2" && [ $tries -lt 50 ]; do
      sleep 0.1
      tries=$((tries + 1))
    done
    if running "$pid" "$2"; then kill -9 "$pid" 2>/dev/null || true; fi
  fi
  rm -f "$1"
}

start_display() {
  if [ -n "${DISPLAY:-}" ]; then
    echo "$DISPLAY" >"$state/display"
    return 0
  fi
  # Xvfb takes a free display itself and names it once it accepts
  # connections: two sessions that start at once (a build's tests start two)
  # never reach for the same number, as they did when we chose it.
  rm -f "$state/xvfb.number"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/xvfb.number" >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  tries=0
  until grep -qx '[0-9][0-9]*' "$state/xvfb.number" 2>/dev/null; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! started "$(cat "$state/xvfb.pid")"; then
      give_up "Xvfb did not start; see $state/xvfb.log"
    fi
    sleep 0.1
  done
  echo ":$(cat "$state/xvfb.number")" >"$state/display"
  rm -f "$state/xvfb.number"
}

# Without a window manager, Wine's X11 driver waits about two seconds for
# one each time a window is hidden, and the program stands still meanwhile
# (after Close in the configuration dialog, say). On a desktop there is one;
# on our own Xvfb display, twm plays its part, set up by twmrc beside us.
start_window_manager() {
  [ -f "$state/xvfb.pid" ] || return 0
  command -v twm >/dev/null 2>&1 ||
    give_up "twm is not installed (tools/install-deps.sh installs it); without a window manager Wine holds a program about two seconds each time it hides a window"
  DISPLAY=$(cat "$state/display") setsid twm -f "$(dirname "$0")/twmrc" >"$state/twm.log" 2>&1 </dev/null &
  echo $! >"$state/twm.pid"
  # Without its fonts twm ends at once; this is long enough to see it.
  sleep 0.5
  check_display || give_up
}

# Says on stderr what has ended of the display this session started.
check_display() {
  if [ -f "$state/xvfb.pid" ] && ! running "$(cat "$state/xvfb.pid")" Xvfb; then
    echo "wine-session.sh: Xvfb $(cat "$state/display") has ended; see $state/xvfb.log" >&2
    return 1
  fi
  if [ -f "$state/twm.pid" ] && ! running "$(cat "$state/twm.pid")" twm; then
    echo "wine-session.sh: the window manager twm is not running on $(cat "$state/display"); it said:" >&2
    # Its warnings about charsets a font lacks are harmless; the error is last.
    grep -v 'is lacking' "$state/twm.log" | tail -n 3 >&2 || true
    echo "twm needs X fonts (xfonts-75dpi; tools/install-deps.sh installs it) in place when Xvfb starts" >&2
    return 1
  fi
}

# The simulated board and the test devices of a session end with it (each
# leaves its pid beside its link).
end_serial_devices() {
  for pidfile in "$state"/serial/*.pid; do
    [ -f "$pidfile" ] || continue
    kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile"
  done
}

stop_display() {
  end_process "$state/twm.pid" twm
  end_process "$state/xvfb.pid" Xvfb
  rm -f "$state/display"
}

# A start that failed leaves nothing of itself running.
give_up() {
  [ $# -eq 0 ] || echo "wine-session.sh: $1" >&2
  wineserver -k 2>/dev/null || true
  stop_display
  exit 1
}

case "$command" in
  prefix)
    make_prefix
    ;;
  start)
    case "$option" in
      "" | --window-manager) ;;
      *) echo "wine-session.sh: unknown option $option" >&2; exit 2 ;;
    esac
    make_prefix
    end_serial_devices
    map_serial_ports
    # A wineserver left running keeps its desktop on the display it began
    # with; everything starts afresh on this run's display.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    stop_display
    start_display
    if [ "$option" = --window-manager ]; then start_window_manager; fi
    # Persistent until 'stop'; detached so that CTest does not wait for it.
    setsid wineserver -p >/dev/null 2>&1 </dev/null &
    # The first program of a session starts Wine's services and desktop,
    # which live on; started here, they hold no test's output open.
    DISPLAY=$(cat "$state/display") \
      wine_step "$state/first-program.log" cmd /c exit </dev/null
    check_display || give_up
    ;;
  check)
    check_display
    ;;
  stop)
    end_serial_devices
    wineserver -k 2>/dev/null || true
    stop_display
    ;;
  fresh)
    end_serial_devices
    wineserver -k 2>/dev/null || true
    stop_display
    rm -rf "$WINEPREFIX"
    rm -f "$state/wine-start.log"
    ;;
  *)
    echo "usage: $0 prefix|start|check|stop|fresh STATE_DIR [--window-manager]" >&2
    exit 2
    ;;
esac
