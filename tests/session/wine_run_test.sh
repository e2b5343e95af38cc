#!/usr/bin/env bash
# The build's wine-run.sh runs a test program once more when Wine ended it
# before it wrote a word, notes that in wine-start.log and shows the second
# run; a program that said something, or is no test program, runs once. The
# loader here is a stand-in that ends as each case asks.
#
#   wine_run_test.sh WINE_RUN STATE_DIR   (wine-run.sh configured for STATE_DIR)
set -uo pipefail
run=$1
state=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $1" >&2
  failures=$((failures + 1))
}

# A made 32-bit prefix: the session's prefix step leaves it as it is, and
# the stand-in for Wine's 32-bit loader runs every program.
rm -rf "$state"
mkdir -p "$state/prefix" "$work/loaders"
echo '#arch=win32' >"$state/prefix/system.reg"
cat >"$work/loaders/wine" <<'LOADER'
#!/bin/sh
calls=$(($(cat "$WORK/calls" 2>/dev/null || echo 0) + 1))
echo $calls >"$WORK/calls"
case $MODE in
  silent-once) [ $calls -ge 2 ] || exit 66; echo "ran with $WINEDEBUG" ;;
  silent) exit 66 ;;
  speaks) echo "it broke" >&2; exit 1 ;;
esac
LOADER
chmod +x "$work/loaders/wine"
export PIPSTACK_WINE_LOADERS=$work/loaders WORK=$work
unset WINEPREFIX WINEDEBUG

# how the loader ends, the program's arguments -> runs, exit code, noted
while read -r mode argument runs status noted; do
  rm -f "$work/calls" "$state/wine-start.log"
  MODE=$mode "$run" tests.exe "$argument" >"$work/out" 2>"$work/err"
  code=$?
  what="$mode $argument"
  [ "$(cat "$work/calls")" = "$runs" ] || fail "$what: ran $(cat "$work/calls") times, not $runs"
  [ "$code" = "$status" ] || fail "$what: exit $code, not $status"
  if [ "$noted" = yes ]; then
    grep -qs "tests.exe ended with status 66 before writing a word" "$state/wine-start.log" ||
      fail "$what: not noted in wine-start.log"
    grep -q "before writing a word" "$work/err" || fail "$what: the second run's output does not say why"
  else
    [ ! -e "$state/wine-start.log" ] || fail "$what: noted although it ran once"
  fi
done <<'CASES'
silent-once --gtest_filter=A.B 2 0 yes
silent --gtest_filter=A.B 2 66 yes
speaks --gtest_filter=A.B 1 1 no
silent /quiet 1 66 no
CASES

# The second run shows Wine's errors.
rm -f "$work/calls"
MODE=silent-once "$run" tests.exe --gtest_list_tests >"$work/out" 2>/dev/null
grep -q "ran with fixme-all,err+all" "$work/out" || fail "the second run: $(cat "$work/out")"

rm -rf "$state"
[ $failures -eq 0 ] || exit 1
echo "wine-run.sh: a test program Wine did not start runs once more and is noted; nothing else runs twice"
