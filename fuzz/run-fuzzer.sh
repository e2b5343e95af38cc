#!/usr/bin/env bash
# One fuzz run: FUZZER for SECONDS over the checked-in starting corpus, new
# inputs kept in WORK (never in the checked-in folder), any crashing input
# saved there too. Ends with the number of inputs executed.
#   run-fuzzer.sh FUZZER CORPUS WORK SECONDS [more libFuzzer options]
set -euo pipefail
fuzzer=$1 corpus=$2 work=$3 seconds=$4
shift 4
mkdir -p "$work/corpus" "$work/crashes"
log="$work/last-run.log"
status=0
"$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$work/crashes/" "$@" "$work/corpus" "$corpus" >"$log" 2>&1 || status=$?
runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || echo 0)
echo "$(basename "$fuzzer"): $runs inputs executed in ${seconds} s, exit status $status"
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log"
  ls "$work/crashes"
fi
exit "$status"
