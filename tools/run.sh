#!/usr/bin/env bash
# Builds Pipstack and runs the meter under Wine on the virtual parallel port,
# with the LEDs shown live in this terminal.
#
#   tools/run.sh          build, start the meter on LPT1, show the LEDs
#   tools/run.sh --once   the same with no terminal needed: print the first
#                         frame that shows the meter's LED byte, then stop
#                         everything and exit 0 (1 when no byte came within a
#                         minute); tools/test.sh checks the demo this way
#   tools/run.sh inpout   the same through InpOut's port interface: the
#                         program runs from a folder of its own beside the
#                         virtual port's InpOut build (by default it runs
#                         beside pipstack-virtual-port.dll, the virtual port
#                         under WinIO's interface and its own name)
#   tools/run.sh config   open the configuration dialog (a second start)
#   tools/run.sh stop     quit the meter (as its Quit button does)
#
# With --32 first (tools/run.sh --32, tools/run.sh --32 --once) the meter and
# the LED view are the 32-bit build's, under Wine's 32-bit loader (Debian's
# wine32), in the same 64-bit prefix.
#
# Leaving the LED view (Ctrl+C) stops the meter and everything it started.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

preset=windows
if [ "${1:-}" = --32 ]; then
  preset=windows32
  shift
fi
demo=$root/build/demo
bin=$root/build/$preset/bin
# Each program with the Wine loader of its own bitness.
wine=$root/cmake/wine-exec.sh
export WINEPREFIX=$demo/prefix
export WINEDEBUG=-all
# Our pdh.dll beside the program gives real counters under Wine.
export WINEDLLOVERRIDES="pdh=n,b"

# The running demo's display, for the commands that join it.
join_demo() {
  if [ -z "${DISPLAY:-}" ] && [ -f "$demo/display" ]; then
    DISPLAY=$(cat "$demo/display")
    export DISPLAY
  fi
}

once=0
inpout=0
case "${1:-}" in
  config)
    join_demo
    exec "$wine" "$bin/pipstack.exe"
    ;;
  stop)
    join_demo
    # Closing the hidden poll window ends the meter as Quit does: the
    # settings are saved and the port restored.
    "$wine" cmd /c taskkill /im pipstack.exe >/dev/null 2>&1 || true
    exit 0
    ;;
  --once) once=1 ;;
  inpout) inpout=1 ;;
  "") ;;
  *)
    echo "usage: $0 [--32] [--once|inpout|config|stop]" >&2
    exit 2
    ;;
esac

tools/install-deps.sh
if [ "$preset" = windows32 ] && [ ! -x /usr/lib/wine/wine ]; then
  echo "run.sh: the 32-bit meter needs Wine's 32-bit loader /usr/lib/wine/wine (Debian's wine32:i386);" >&2
  echo "  tools/install-deps.sh installs it unless PIPSTACK_WINE32=0 is set" >&2
  exit 1
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)" --target pipstack winio virtual_inpout wine_pdh ledview

# The folder the meter runs from: the build's program folder, or one with the
# InpOut build beside the program in place of the virtual port's own library.
run_dir=$bin
if [ "$inpout" = 1 ]; then
  run_dir=$demo/inpout
  rm -rf "$run_dir"
  mkdir -p "$run_dir"
  cp "$bin/pipstack.exe" "$bin/pdh.dll" "$root"/build/$preset/virtual-inpout/inpout*.dll "$run_dir/"
fi

# A prefix of the demo's own, a display (Xvfb when there is none) and one
# wineserver for the whole run.
cmake/wine-session.sh start "$demo" --window-manager
DISPLAY=$(cat "$demo/display")
export DISPLAY

stop_all() {
  "$wine" cmd /c taskkill /im pipstack.exe >/dev/null 2>&1 || true
  sleep 1
  cmake/wine-session.sh stop "$demo"
}
trap stop_all EXIT

(cd "$run_dir" && "$wine" pipstack.exe LPT1 >/dev/null 2>&1 &)
[ "$inpout" = 0 ] || echo "Through InpOut's interface, from $run_dir."
echo "Meter started on the virtual LPT1 (display $DISPLAY)."

if [ "$once" = 1 ]; then
  # The session's virtual port is new, so a data write is the meter's; one
  # some milliseconds ago says it is writing now.
  deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    # A view that fails (the port not there yet) is tried again; its last
    # words are told if no frame comes.
    frame=$("$wine" "$bin/ledview.exe" --once LPT1 </dev/null 2>&1 | tr -d '\r') || frame="ledview.exe failed: $frame"
    if grep -Eq 'last data write +[0-9]+ ms ago' <<<"$frame"; then
      echo "$frame"
      exit 0
    fi
    sleep 1
  done
  echo "run.sh: the meter wrote no LED byte within a minute; the LED view said:" >&2
  echo "$frame" >&2
  exit 1
fi

echo "Open its dialog: tools/run.sh config   Quit it: tools/run.sh stop   Ctrl+C: leave and stop all."
sleep 2
LEDVIEW_WINE=$wine tools/ledview/ledview-wine.sh "$bin/ledview.exe" LPT1 || true
