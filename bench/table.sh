#!/usr/bin/env bash
# Turns the raw outputs of bench/run.sh into its one table (Markdown).
#
#   bench/table.sh RAW_DIR CLOCK_TICKS_PER_SECOND "LOAD BEFORE" "LOAD AFTER" [TITLE]
#
# With TITLE the table follows another of the same run: the title stands in
# place of the machine line. The core's rows come where RAW_DIR has core.csv.
set -euo pipefail
raw=$1 tick=$2 load_before=$3 load_after=$4 title=${5:-}

f() { awk "BEGIN { printf \"$1\", $2 }"; }
# Field n of the first line of a raw file; what the Wine programs print ends
# its lines with CR LF.
field() { tr -d '\r' <"$raw/$1" | awk -v n="$2" 'NR == 1 {print $n}'; }
# The same from the second line of a file.
field2() { tr -d '\r' <"$raw/$1" | awk -v n="$2" 'NR == 2 {print $n}'; }
# Yes when the condition (awk syntax) holds.
met() { awk "BEGIN { print ($1) ? \"yes\" : \"**no**\" }"; }

row() { printf '| %s | %s | %s | %s | %s | %s |\n' "$@"; }

# CPU seconds of field n of a .cpu file, and its share of one core.
cpu_s() { f %.3f "$(field "$1.cpu" "$2") / $tick"; }
cpu_pct() { f %.3f "$(field "$1.cpu" "$2") / $tick / $(field "$1.cpu" 4) * 100"; }

cpu_row() {
  local name=$1 label=$2 target=$3
  local m f p
  m=$(cpu_pct "$name" 1) f=$(cpu_pct "$name" 2)
  if [ -n "$target" ]; then p=$(met "$m <= $target"); target="≤ $target %"; else p="" target="—"; fi
  row "$label, $(field "$name.cpu" 4) s" "$(cpu_s "$name" 1) s = **$m %** of a core" \
      "$(cpu_s "$name" 2) s = $f %" "+$(f %.3f "$m - $f") points" "$target" "$p"
  row "&nbsp;&nbsp;wineserver in that window (shared: meter, floor, probe, Wine's services)" \
      "$(cpu_s "$name" 3) s = $(cpu_pct "$name" 3) %" "" "" "" ""
}

frames_row() {
  local name=$1 label=$2 delay=$3
  local p99
  p99=$(field "$name.frames" 3)
  row "$label ($(field "$name.frames" 1) intervals)" \
      "$(field "$name.frames" 2) / **$p99** / $(field "$name.frames" 4)" \
      "$(field "$name.floor" 2) / $(field "$name.floor" 3) / $(field "$name.floor" 4)" \
      "p99 − delay: $(f %+.2f "$p99 - $delay") ms (floor $(f %+.2f "$(field "$name.floor" 3) - $delay"))" \
      "p99 ≤ $((delay + 2)) ms" "$(met "$p99 <= $delay + 2")"
}

latency_row() {
  local file=$1 label=$2
  row "$label ($(field "$file" 1) starts)" "$(field "$file" 2) / $(field "$file" 4)" \
      "$(field empty-start.txt 2) / $(field empty-start.txt 4)" \
      "$(f %.1f "$(field "$file" 2) / $(field empty-start.txt 2)")× the floor's median" "—" ""
}

core_ns() { awk -F, -v n="\"$1\"" '$1 == n {printf "%.1f", $4}' "$raw/core.csv"; }
core_row() {
  local name=$1 floor=$2 label=$3
  local m fl
  m=$(core_ns "$name") fl=$(core_ns "$floor")
  row "$label" "$m ns" "$fl ns" "+$(f %.1f "$m - $fl") ns" "—" ""
}

if [ -n "$title" ]; then
  echo "$title:"
else
  echo "Machine: $(nproc) cores of $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo), $(/usr/lib/wine/wine64 --version 2>/dev/null), shared with other work; load average $load_before before, $load_after after."
  echo "CPU from /proc/PID/stat (user + system, ${tick} ticks/s) of the Wine process; times in ms; median / p99 / max."
fi
echo
row "Figure" "pipstack.exe" "Floor" "Meter vs floor" "Target" "Met"
row "---" "---" "---" "---" "---" "---"
cpu_row direct40 "CPU, direct mode, 40 ms" 0.3
cpu_row interp40 "CPU, interpolated mode, 40 ms" 0.3
cpu_row builtin40 "CPU, direct mode, 40 ms, Wine's built-in pdh.dll (fixed numbers)" ""
cpu_row serial40 "CPU, direct mode, 40 ms, the LED controller on COM7 (simulated board)" 0.3
cpu_row ftdi40 "CPU, direct mode, 40 ms, FTDI breakout (our ftd2xx.dll)" 0.3
cpu_row direct10 "CPU, direct mode, 10 ms" ""
cpu_row direct100 "CPU, direct mode, 100 ms" ""
paused_m=$(f %.4f "$(field paused.cpu 1) / $tick / $(field paused.cpu 4) * 10")
row "CPU, paused (dialog shown), $(field paused.cpu 4) s" "$(cpu_s paused 1) s = **$paused_m s per 10 s**" \
    "$(cpu_s paused 2) s = $(f %.4f "$(field paused.cpu 2) / $tick / $(field paused.cpu 4) * 10") s per 10 s" \
    "+$(f %.4f "$paused_m - $(field paused.cpu 2) / $tick / $(field paused.cpu 4) * 10") s per 10 s" \
    "≤ 0.01 s per 10 s" "$(met "$paused_m <= 0.01")"
row "&nbsp;&nbsp;wineserver in that window" "$(cpu_s paused 3) s" "" "" "" ""
frames_row direct10 "Frame interval, direct, 10 ms" 10
frames_row direct40 "Frame interval, direct, 40 ms" 40
frames_row direct100 "Frame interval, direct, 100 ms" 100
frames_row interp40 "Frame interval, interpolated, 40 ms" 40
latency_row dialog-direct40.txt "Second start → dialog visible, direct 40 ms (median / max)"
latency_row dialog-interp40.txt "Second start → dialog visible, interpolated 40 ms (median / max)"
for mode in direct interp; do
  row "Close pressed → next LED byte, $mode 40 ms (median / max)" \
      "$(field2 dialog-${mode}40.txt 2) / $(field2 dialog-${mode}40.txt 4)" "" "see BENCHMARKS.md" "—" ""
done
latency_row first-byte.txt "Start → first LED byte (median / max)"
mem_m=$(field direct40.memory 1) mem_f=$(field direct40.memory 2)
row "Peak working set (VmHWM), direct 40 ms" "$(f %.1f "$mem_m / 1024") MiB" "$(f %.1f "$mem_f / 1024") MiB" \
    "$(f %.2f "$mem_m / $mem_f")× (+$(f %.1f "($mem_m - $mem_f) / 1024") MiB)" "—" ""
mem_m=$(field interp40.memory 1) mem_f=$(field interp40.memory 2)
row "Peak working set (VmHWM), interpolated 40 ms" "$(f %.1f "$mem_m / 1024") MiB" "$(f %.1f "$mem_f / 1024") MiB" \
    "$(f %.2f "$mem_m / $mem_f")× (+$(f %.1f "($mem_m - $mem_f) / 1024") MiB)" "—" ""
[ -f "$raw/core.csv" ] || exit 0
core_row BM_ComposeFrame BM_ComposeFrameFloor "Core: ComposeFrame (host, CPU time per call)"
core_row BM_UpdateLedsInterpolated BM_UpdateLedsInterpolatedFloor \
    "Core: interpolated UpdateLeds, stand-in sources and port (per cycle of 8 frames)"
core_row BM_UpdateLedsDirect BM_ComposeFrameFloor "Core: direct UpdateLeds, stand-ins (per cycle)"
