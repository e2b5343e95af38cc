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
#   tools/run.sh serial   the same on the Pipstack LED controller: our
#                         firmware runs on a simulated Arduino Uno whose
#                         serial port is the demo's COM7, and the view shows
#                         its pins
#   tools/run.sh ftdi     the same on a virtual FTDI FT232R breakout in
#                         bit-bang mode (our own ftd2xx.dll), found with no
#                         port named, as an FTDI device described "Pipstack"
#   tools/run.sh config   open the configuration dialog (a second start)
#   tools/run.sh stop     quit the meter (as its Quit button does)
#
# --once goes with serial and ftdi too (tools/run.sh serial --once).
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
output=lpt
for argument in "$@"; do
  case "$argument" in
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
    inpout | serial | ftdi) output=$argument ;;
    *)
      echo "usage: $0 [--32] [--once] [inpout|serial|ftdi|config|stop]" >&2
      exit 2
      ;;
  esac
done

tools/install-deps.sh
if [ "$preset" = windows32 ] && [ ! -x /usr/lib/wine/wine ]; then
  echo "run.sh: the 32-bit meter needs Wine's 32-bit loader /usr/lib/wine/wine (Debian's wine32:i386);" >&2
  echo "  tools/install-deps.sh installs it unless PIPSTACK_WINE32=0 is set" >&2
  exit 1
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)" --target pipstack winio virtual_inpout wine_pdh ledview \
  virtual_ftdi simboard firmware

# The folder the meter runs from: the build's program folder, or one with
# the InpOut build beside the program in place of the virtual port's own
# library, or one with our ftd2xx.dll beside it; the meter's argument and the
# view's output.
run_dir=$bin
argument=LPT1
view=LPT1
what="the virtual LPT1"
case "$output" in
  inpout | ftdi)
    run_dir=$demo/$output
    rm -rf "$run_dir"
    mkdir -p "$run_dir"
    cp "$bin/pipstack.exe" "$bin/pdh.dll" "$run_dir/"
    ;;
esac
case "$output" in
  inpout)
    cp "$root"/build/$preset/virtual-inpout/inpout*.dll "$run_dir/"
    ;;
  serial)
    argument=COM7
    view=COM7
    what="the Pipstack LED controller on COM7, a simulated Arduino Uno"
    ;;
  ftdi)
    cp "$root/build/$preset/virtual-ftdi/ftd2xx.dll" "$run_dir/"
    argument=
    view=FTDI
    what="the virtual FTDI breakout, found with no port named"
    ;;
esac

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

# The simulated board, behind the session's COM7 (cmake/wine-session.sh);
# the session's stop ends it.
if [ "$output" = serial ]; then
  setsid "$root/build/$preset/native/simboard" "$root/build/$preset/firmware/PipstackLeds.ino.elf" \
    "$demo/serial/line7" >"$demo/simboard.log" 2>&1 </dev/null &
  for _ in $(seq 50); do [ -f "$demo/serial/line7.pid" ] && break; sleep 0.1; done
fi

(cd "$run_dir" && "$wine" pipstack.exe $argument >/dev/null 2>&1 &)
[ "$output" != inpout ] || echo "Through InpOut's interface, from $run_dir."
echo "Meter started on $what (display $DISPLAY)."

if [ "$once" = 1 ]; then
  # The session's virtual port and FTDI device are new, so a write is the
  # meter's; one some milliseconds ago says it is writing now. The board
  # tells changes only, and starts dark: a lit LED is the meter's (LED 1's
  # window begins at 0).
  writing='last (data )?write +[0-9]+ ms ago'
  [ "$output" != serial ] || writing='\(#\)'
  deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    # A view that fails (the port not there yet) is tried again; its last
    # words are told if no frame comes.
    frame=$("$wine" "$bin/ledview.exe" --once $view </dev/null 2>&1 | tr -d '\r') || frame="ledview.exe failed: $frame"
    if grep -Eq "$writing" <<<"$frame"; then
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
LEDVIEW_WINE=$wine tools/ledview/ledview-wine.sh "$bin/ledview.exe" $view || true
