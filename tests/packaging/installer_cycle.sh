#!/bin/sh
# Installs and uninstalls Pipstack silently under Wine, in the test session's
# prefix, and checks what each leaves behind.
#
#   installer_cycle.sh keep   WINE_RUN WINE_STATE INSTALLER BIN_DIR SOURCE_DIR
#     default folder; a meter running from it is closed by the uninstaller;
#     the settings key stays
#   installer_cycle.sh remove WINE_RUN WINE_STATE INSTALLER BIN_DIR SOURCE_DIR
#     chosen folder, start at logon; /REMOVESETTINGS removes the settings key
#   installer_cycle.sh upgrade WINE_RUN WINE_STATE INSTALLER BIN_DIR SOURCE_DIR
#     chosen folder, start at logon; installed again over a running meter
#     with no options: same folder, meter closed, no logon task, the virtual
#     port an earlier version installed as WinIO.dll removed; installed once
#     more: a WinIO.dll with its driver file kept
# BIN_DIR holds the programs the installer is to install in this prefix.
# Exits with 77 (skipped) where Wine cannot run the installer: a 32-bit one,
# or any in a 32-bit prefix (WINEARCH=win32), needs Wine's 32-bit loader.
set -eu
mode=$1 run=$2 state=$3 installer=$4 bin=$5 src=$6
prefix=${WINEPREFIX:-$state/prefix}

# The machine field of a PE file (0x14C: 32-bit x86), after the signature at
# the offset that 0x3C holds.
machine() { od -An -tx2 -j$(($(od -An -tu4 -j60 -N4 "$1") + 4)) -N2 "$1" | tr -d ' '; }
if [ ! -x /usr/lib/wine/wine ] && { [ "${WINEARCH:-}" = win32 ] || [ "$(machine "$installer")" = 014c ]; }; then
  echo "SKIPPED: $(basename "$installer") ${WINEARCH:+in a $WINEARCH prefix }needs Wine's 32-bit loader" \
       "/usr/lib/wine/wine (Debian's wine32:i386), which is not installed"
  exit 77
fi

drive=$prefix/drive_c
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Pipstack Configuration.lnk"
task=$drive/windows/system32/tasks/Pipstack
settings='HKLM\Software\Pipstack'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pipstack'
meter=""
dir=""

fail() { echo "FAIL: $*" >&2; exit 1; }
reg_has() { "$run" reg query "$@" >/dev/null 2>&1; }
# Whatever a failed run left, so that the next run starts clean.
cleanup() {
  [ -n "$meter" ] && kill "$meter" 2>/dev/null || true
  rm -rf "$dir" "$shortcut" "$task"
  # Where a wrong upgrade would have gone.
  [ "$mode" != upgrade ] || rm -rf "$drive/Program Files/Pipstack"
  "$run" reg delete "$uninstall_key" /f >/dev/null 2>&1 || true
  "$run" reg delete "$settings" /f >/dev/null 2>&1 || true
}
trap cleanup EXIT

# Waits up to $2 tenths of a second for the command in $1 to succeed.
wait_for() {
  n=0
  until eval "$1"; do
    n=$((n + 1))
    [ $n -gt "$2" ] && return 1
    sleep 0.1
  done
}

case "$mode" in
  keep)
    win_dir='C:\Program Files\Pipstack'
    dir="$drive/Program Files/Pipstack"
    install_args="/S"
    uninstall_args="/S"
    ;;
  remove)
    # No spaces: Wine quotes such an argument, and the installer takes /D=
    # only unquoted.
    win_dir='C:\PipstackTest'
    dir="$drive/PipstackTest"
    install_args="/S /STARTATLOGON"
    uninstall_args="/S /REMOVESETTINGS"
    ;;
  upgrade)
    win_dir='C:\PipstackUpgrade'
    dir="$drive/PipstackUpgrade"
    install_args="/S /STARTATLOGON"
    uninstall_args="/S"
    ;;
  *) fail "unknown mode $mode" ;;
esac

# Settings as a user's earlier run would have left them.
"$run" reg delete "$settings" /f >/dev/null 2>&1 || true
"$run" reg add "$settings" /v "Write Delay" /t REG_DWORD /d 119 /f >/dev/null 2>&1
[ ! -e "$dir" ] || fail "$dir exists before the install"

# The files of BIN_DIR and the sources in the folder, and the entries that
# point to it.
check_installed() {
  for pair in pipstack.exe:$bin/pipstack.exe pipstack-virtual-port.dll:$bin/pipstack-virtual-port.dll ledview.exe:$bin/ledview.exe \
              README.md:$src/README.md LICENSE.txt:$src/packaging/LICENSE.txt \
              docs/dialog-configuration.png:$src/docs/dialog-configuration.png; do
    name=${pair%%:*}
    cmp -s "$dir/$name" "${pair#*:}" || fail "$name missing or different in $dir"
  done
  [ ! -e "$dir/pdh.dll" ] || fail "pdh.dll installed"
  [ -f "$dir/uninstall.exe" ] || fail "no uninstaller in $dir"
  [ -f "$shortcut" ] || fail "no Start-menu shortcut"
  strings -a "$shortcut" | grep -qF "$win_dir\\pipstack.exe" || fail "the shortcut does not start $win_dir\\pipstack.exe"
  "$run" reg query "$uninstall_key" /v UninstallString 2>/dev/null | grep -qF "$win_dir\\uninstall.exe" ||
    fail "no Add/Remove Programs entry for $win_dir"
}

# A meter running from the folder, which the next installer or uninstaller
# must close. It is up once it has written its settings.
start_meter() {
  "$run" "$dir/pipstack.exe" LPT1 >/dev/null 2>&1 &
  meter=$!
  wait_for "reg_has '$settings' /v 'LED 1 Source'" 200 || fail "the installed meter did not start"
  sleep 1
  kill -0 "$meter" 2>/dev/null || fail "the installed meter ended by itself"
}

# /D= comes last.
# shellcheck disable=SC2086
"$run" "$installer" $install_args "/D=$win_dir" || fail "installer ended with $?"
check_installed

if [ "$mode" = keep ]; then
  [ ! -e "$task" ] || fail "a logon task without /STARTATLOGON"
  start_meter
else
  [ -f "$task" ] || fail "no logon task"
  grep -q 'PT0S' "$task" || fail "the logon task has a time limit"
fi

if [ "$mode" = upgrade ]; then
  # The virtual port as earlier versions installed it: it would be tried
  # before a real InpOut library.
  cp "$bin/pipstack-virtual-port.dll" "$dir/WinIO.dll"
  start_meter
  "$run" "$installer" /S || fail "the installer run again ended with $?"
  check_installed
  [ ! -e "$drive/Program Files/Pipstack" ] || fail "the upgrade went to the default folder, not $win_dir"
  [ ! -e "$task" ] || fail "the logon task survived an upgrade without /STARTATLOGON"
  [ ! -e "$dir/WinIO.dll" ] || fail "the earlier version's virtual WinIO.dll survived the upgrade"
  wait_for "! kill -0 $meter 2>/dev/null" 100 || fail "the running meter was not closed for the upgrade"
  meter=""

  # A real WinIO, the library with its driver, is the user's.
  cp "$bin/pipstack-virtual-port.dll" "$dir/WinIO.dll"
  : >"$dir/WinIo64.sys"
  "$run" "$installer" /S || fail "the installer run a third time ended with $?"
  check_installed
  [ -e "$dir/WinIO.dll" ] && [ -e "$dir/WinIo64.sys" ] || fail "a WinIO.dll with its driver was removed"
  rm "$dir/WinIO.dll" "$dir/WinIo64.sys"
fi

# shellcheck disable=SC2086
"$run" "$dir/uninstall.exe" $uninstall_args || fail "uninstaller ended with $?"
# The uninstaller works from a copy of itself and returns at once.
wait_for "[ ! -e '$dir' ]" 300 || fail "$dir still there: $(ls "$dir")"
[ ! -e "$shortcut" ] || fail "the shortcut is still there"
[ ! -e "$task" ] || fail "the logon task is still there"
! reg_has "$uninstall_key" || fail "the Add/Remove Programs entry is still there"

if [ -n "$meter" ]; then
  wait_for "! kill -0 $meter 2>/dev/null" 100 || fail "the running meter was not closed"
  meter=""
fi

if [ "$mode" = remove ]; then
  ! reg_has "$settings" || fail "the settings key survived /REMOVESETTINGS"
else
  "$run" reg query "$settings" /v "Write Delay" 2>/dev/null | grep -q '0x77' || fail "the settings were not kept"
fi
echo "$(basename "$installer"): installed to $win_dir and uninstalled ($mode)"
