#!/usr/bin/env bash
# Builds the builds (host, 64-bit and 32-bit Windows) and runs every test: the
# platform-free ones natively with sanitizers, the Windows ones under Wine in a
# scratch prefix per build, and then the demo itself once (tools/run.sh --once).
#
# The 64-bit build also builds the 32-bit programs and packages, and checks
# them without Wine. The 32-bit build's own tests need Wine's 32-bit loader
# (Debian's wine32, /usr/lib/wine/wine): where it is missing they are neither
# built nor run, and the summary says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/install-deps.sh

wine32=no
[ -x /usr/lib/wine/wine ] && wine32=yes

jobs=$(nproc)
cmake --preset host -DPIPSTACK_WERROR=ON >/dev/null
cmake --build --preset host -j"$jobs"
# Configured first: the 64-bit build makes the 32-bit packages in this folder.
cmake --preset windows32 -DPIPSTACK_WERROR=ON >/dev/null
if [ $wine32 = yes ]; then
  cmake --build --preset windows32 -j"$jobs"
fi
cmake --preset windows -DPIPSTACK_WERROR=ON >/dev/null
cmake --build --preset windows -j"$jobs"

# A new Wine prefix for every run, so no run sees what an earlier one left.
cmake/wine-session.sh fresh build/windows/wine

# A Windows test that fails runs once more. Every test shares one display
# and one wineserver with the rest of the suite running beside it, and now
# and then another test's window takes the foreground at the wrong moment or
# Wine does not start a program; a fault of the program fails both runs. The
# summary names each test that passed only the second time, so that none is
# forgotten.
retry=(--repeat until-pass:2)
status=0
ctest --preset host -j"$jobs" 2>&1 | tee build/host-tests.log || status=1
ctest --preset windows -j"$jobs" "${retry[@]}" 2>&1 | tee build/windows-tests.log || status=1
if [ $wine32 = yes ]; then
  cmake/wine-session.sh fresh build/windows32/wine
  ctest --preset windows32 -j"$jobs" "${retry[@]}" 2>&1 | tee build/windows32-tests.log || status=1
fi

# The README's first command itself, as a new user runs it (it builds, so it
# runs after CTest; its prefix and display are the demo's own).
demo=passed
tests/session/run_once_smoke.sh 2>&1 | tee build/demo-test.log || { demo=failed; status=1; }

# Tests that failed and then passed when run again.
passed_again() {
  awk 'match($0, /Test +#[0-9]+: [^ ]+/) {
         name = substr($0, RSTART, RLENGTH); sub(/.*: /, "", name)
         if ($0 ~ /\*\*\*/) failed[name] = 1; last[name] = ($0 ~ / Passed /)
       }
       END { for (n in failed) if (last[n]) print n }' "$1" | sort
}
# What ran a second time in each Windows build: test programs that Wine did
# not start (wine-run.sh) and tests that passed only then.
for build in windows windows32; do
  [ "$build" = windows ] || [ $wine32 = yes ] || continue
  log=build/$build/wine/wine-start.log
  if [ -s "$log" ]; then
    echo "$build: Wine did not start a test program $(wc -l <"$log") time(s); each ran once more (see $log)"
  fi
  log=build/$build-tests.log
  again=$(passed_again "$log")
  [ -n "$again" ] || continue
  echo "$build: $(wc -l <<<"$again") test(s) failed once and passed when run again (see $log):"
  sed 's/^/  /' <<<"$again"
done

# One closing line for all runs.
# CTest counts a skipped test as not failed; it lists each as "(Skipped)".
summary() { grep -Eo '[0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1; }
skipped() { grep -c '(Skipped)$' "$1" || true; }
read -r hf _ _ _ _ ht <<<"$(summary build/host-tests.log || echo '1 tests failed out of 1')"
read -r wf _ _ _ _ wt <<<"$(summary build/windows-tests.log || echo '1 tests failed out of 1')"
ws=$(skipped build/windows-tests.log)
w32f=0 w32t=0 w32s=0
if [ $wine32 = yes ]; then
  read -r w32f _ _ _ _ w32t <<<"$(summary build/windows32-tests.log || echo '1 tests failed out of 1')"
  w32s=$(skipped build/windows32-tests.log)
  w32="windows32: $((w32t - w32f - w32s)) passed, $w32s skipped, $w32f failed"
else
  w32="windows32: not run (no wine32; tools/install-deps.sh installs it unless PIPSTACK_WINE32=0)"
fi
df=0
[ "$demo" = passed ] || df=1
echo "host: $((ht - hf)) passed, $hf failed; windows: $((wt - wf - ws)) passed, $ws skipped, $wf failed; $w32;" \
     "tools/run.sh --once: $demo"
echo "$((ht - hf + wt - wf - ws + w32t - w32f - w32s + 1 - df)) passed, $((ws + w32s)) skipped, $((hf + wf + w32f + df)) failed"
exit $status
