#!/usr/bin/env bash
# Measures what the meter costs and prints its tables: every figure of
# pipstack.exe under Wine beside its floor from the same run, and the core
# alone with Google Benchmark; then the same figures of the 32-bit build's
# program, with 32-bit floor and probe, in the same session.
#
#   bench/run.sh           the full run (about 10 minutes per build)
#   bench/run.sh --quick   short windows and few repeats, for trying it out
#
# The 32-bit program needs Wine's 32-bit loader (Debian's wine32); without it
# only the 64-bit one is measured, and the run says so.
#
# The tables also go to build/bench/results.md; the raw outputs stay in
# build/bench/raw/ (the 32-bit build's in raw/win32/). The run has a Wine
# prefix, a display and a wineserver of its own, all under build/bench/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

cpu_window=60 paused_window=30 frame_window=30 repeats=10 settle=4 bench_time=1
case "${1:-}" in
  --quick) cpu_window=8 paused_window=5 frame_window=5 repeats=3 bench_time=0.1 ;;
  "") ;;
  *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac

state=$root/build/bench
raw=$state/raw
rm -rf "$raw"
mkdir -p "$raw"
# Each program with the Wine loader of its own bitness, as its own process.
wine=$root/cmake/wine-exec.sh
presets=(windows)
if [ -x /usr/lib/wine/wine ]; then
  presets+=(windows32)
else
  echo "The 32-bit program is not measured: Wine's 32-bit loader /usr/lib/wine/wine (Debian's wine32) is missing." >&2
fi

# --- Build: the program, its libraries and the two helpers under Wine, in
# each build; the core benchmark in an optimised host build without
# sanitizers (the host preset's Debug + ASan build would time the sanitizers).
tools/install-deps.sh
{
  for preset in "${presets[@]}"; do
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j2 --target pipstack winio wine_pdh bench_floor bench_probe virtual_ftdi \
      simboard firmware
  done
  cmake -S . -B build/bench-host -DCMAKE_BUILD_TYPE=Release
  cmake --build build/bench-host -j2 --target core_bench
} >"$raw/build.log" 2>&1 || { tail -30 "$raw/build.log" >&2; exit 1; }

# --- Wine: our own prefix, display and wineserver; our pdh.dll beside the
# program gives it real counters.
export WINEPREFIX=$state/wine/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="pdh=n,b"
finish() {
  # Only what this script started and is still running.
  for pid in $(jobs -p); do kill "$pid" 2>/dev/null || true; done
  cmake/wine-session.sh stop "$state/wine"
}
trap finish EXIT
cmake/wine-session.sh start "$state/wine" --window-manager
DISPLAY=$(cat "$state/wine/display")
export DISPLAY

# The build being measured: its programs, its helpers and its raw folder
# (measure_build sets them).
bin="" benchbin="" out="" winbin=""
probe() { "$wine" "$benchbin/bench_probe.exe" "$@"; }

# The wineserver of this prefix: the one whose working folder is the
# prefix's server folder, named after the prefix's device and inode (other
# sessions on the machine have their own).
server_dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
wineserver_pid=""
for pid in $(pgrep wineserver || true); do
  case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in */"$server_dir") wineserver_pid=$pid ;; esac
done
[ -n "$wineserver_pid" ] || { echo "no wineserver for $WINEPREFIX" >&2; exit 1; }

tick=$(getconf CLK_TCK)
# User plus system time of a process so far, in clock ticks.
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
peak_kib() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }
now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"$1\", $2 }"; }

# The probe keeps the virtual port's machine alive for the whole run (the
# machine has one layout in both builds).
"$wine" "$root/build/windows/bench/bench_probe.exe" hold >"$raw/hold.txt" 2>&1 &
until grep -q holding "$raw/hold.txt" 2>/dev/null; do sleep 0.1; done

# One metered run: the meter and the floor started together, left to
# settle, then measured over the window while the probe times the frames.
# Leaves the meter running (its PID in meter_pid) for what follows. A fifth
# argument replaces the DLL overrides for the meter alone.
metered_run() {
  local name=$1 delay=$2 led=$3 window=$4 overrides=${5:-$WINEDLLOVERRIDES}
  probe settings "$delay" "$led"
  (cd "$bin" && WINEDLLOVERRIDES=$overrides exec "$wine" pipstack.exe LPT1) >/dev/null 2>&1 &
  meter_pid=$!
  "$wine" "$benchbin/bench_floor.exe" sleep "$delay" $((settle + window + 2)) >"$out/$name.floor" 2>&1 &
  floor_pid=$!
  sleep "$settle"
  local m0 f0 s0 t0 m1 f1 s1 t1
  m0=$(cpu_ticks "$meter_pid") f0=$(cpu_ticks "$floor_pid") s0=$(cpu_ticks "$wineserver_pid") t0=$(now)
  probe frames "$window" >"$out/$name.frames"
  m1=$(cpu_ticks "$meter_pid") f1=$(cpu_ticks "$floor_pid") s1=$(cpu_ticks "$wineserver_pid") t1=$(now)
  echo "$((m1 - m0)) $((f1 - f0)) $((s1 - s0)) $(calc %.3f "$t1 - $t0")" >"$out/$name.cpu"
  echo "$(peak_kib "$meter_pid") $(peak_kib "$floor_pid")" >"$out/$name.memory"
  wait "$floor_pid"
}

quit_meter() {
  probe quit
  wait "$meter_pid" || true
}

# Direct mode at 40 ms on a USB output: the program started from folder
# with argument, its processor time over the window beside the floor's.
# Only the processor time: the frames are the parallel port's journal.
output_run() {
  local name=$1 folder=$2 argument=$3
  probe settings 40 -1
  (cd "$folder" && exec "$wine" pipstack.exe $argument) >/dev/null 2>&1 &
  meter_pid=$!
  "$wine" "$benchbin/bench_floor.exe" sleep 40 $((settle + cpu_window + 2)) >"$out/$name.floor" 2>&1 &
  floor_pid=$!
  sleep "$settle"
  local m0 f0 s0 t0 m1 f1 s1 t1
  m0=$(cpu_ticks "$meter_pid") f0=$(cpu_ticks "$floor_pid") s0=$(cpu_ticks "$wineserver_pid") t0=$(now)
  sleep "$cpu_window"
  m1=$(cpu_ticks "$meter_pid") f1=$(cpu_ticks "$floor_pid") s1=$(cpu_ticks "$wineserver_pid") t1=$(now)
  echo "$((m1 - m0)) $((f1 - f0)) $((s1 - s0)) $(calc %.3f "$t1 - $t0")" >"$out/$name.cpu"
  wait "$floor_pid"
  quit_meter
}

# The LED controller on the session's COM7 (the simulated board running our
# firmware), and the virtual FTDI breakout beside a copy of the program.
measure_usb_outputs() {
  local build=$root/build/$1 line=$state/wine/serial/line7
  "$build/native/simboard" "$build/firmware/PipstackLeds.ino.elf" "$line" >"$out/simboard.log" 2>&1 &
  local board=$!
  for _ in $(seq 50); do [ -f "$line.pid" ] && break; sleep 0.1; done
  output_run serial40 "$bin" COM7
  touch "$line.stop"
  wait "$board" || true

  local ftdi=$state/ftdi-$1
  rm -rf "$ftdi"
  mkdir -p "$ftdi"
  cp "$bin/pipstack.exe" "$bin/pdh.dll" "$build/virtual-ftdi/ftd2xx.dll" "$ftdi/"
  output_run ftdi40 "$ftdi" FTDI
}

# Every figure of one build's program, with that build's floor and probe
# (same bitness, same loader), into the raw folder given.
measure_build() {
  bin=$root/build/$1/bin benchbin=$root/build/$1/bench out=$2
  winbin="Z:$bin"
  mkdir -p "$out"

  probe empty "$repeats" >"$out/empty-start.txt"
  probe settings 40 -1
  probe first-byte "$winbin" "$repeats" >"$out/first-byte.txt"

  metered_run direct40 40 -1 "$cpu_window"
  probe dialog "$winbin" "$repeats" 40 >"$out/dialog-direct40.txt"
  quit_meter

  metered_run interp40 40 0 "$cpu_window"
  probe dialog "$winbin" "$repeats" 320 >"$out/dialog-interp40.txt"
  quit_meter

  # Where the direct mode's time goes: the same run with Wine's built-in
  # pdh.dll, whose counters are fixed numbers that cost next to nothing.
  metered_run builtin40 40 -1 "$cpu_window" "pdh=b"
  quit_meter

  measure_usb_outputs "$1"

  metered_run direct10 10 -1 "$frame_window"
  quit_meter
  metered_run direct100 100 -1 "$frame_window"
  quit_meter

  # Paused: the dialog shown by a second start, the meter waiting for
  # messages; the floor waits for messages too.
  probe settings 40 -1
  (cd "$bin" && exec "$wine" pipstack.exe LPT1) >/dev/null 2>&1 &
  meter_pid=$!
  "$wine" "$benchbin/bench_floor.exe" wait $((settle + paused_window + 4)) >/dev/null 2>&1 &
  floor_pid=$!
  sleep "$settle"
  probe show "$winbin"
  sleep 1
  local m0 f0 s0 t0 m1 f1 s1 t1
  m0=$(cpu_ticks "$meter_pid") f0=$(cpu_ticks "$floor_pid") s0=$(cpu_ticks "$wineserver_pid") t0=$(now)
  sleep "$paused_window"
  m1=$(cpu_ticks "$meter_pid") f1=$(cpu_ticks "$floor_pid") s1=$(cpu_ticks "$wineserver_pid") t1=$(now)
  echo "$((m1 - m0)) $((f1 - f0)) $((s1 - s0)) $(calc %.3f "$t1 - $t0")" >"$out/paused.cpu"
  quit_meter
  wait "$floor_pid"
}

echo "Measuring (${cpu_window} s windows for CPU; see $raw)..." >&2
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

measure_build windows "$raw"
if [ ${#presets[@]} -gt 1 ]; then
  echo "Measuring the 32-bit program..." >&2
  measure_build windows32 "$raw/win32"
fi

build/bench-host/bench/core_bench --benchmark_min_time="$bench_time" --benchmark_format=csv \
  >"$raw/core.csv" 2>"$raw/core.log"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
# Had the window manager ended on the way, every Close after it would have
# held the meter two seconds: no table then.
cmake/wine-session.sh check "$state/wine"

# --- The tables: the 64-bit program's with the core's, then the 32-bit one's.
{
  bench/table.sh "$raw" "$tick" "$load_before" "$load_after"
  if [ -d "$raw/win32" ]; then
    echo
    bench/table.sh "$raw/win32" "$tick" "$load_before" "$load_after" "The 32-bit build (32-bit floor and probe)"
  fi
} | tee "$state/results.md"
