#!/usr/bin/env bash
# Runs the Windows tests of the sample programs under Wine, in a throw-away copy of the
# Windows 10 32-bit prefix. The programs open windows: Wine's null graphics driver gives them
# real windows without an X display.
#   members_test.sh TEST_PROGRAM MEMBERS_FOLDER INSTALLER ARCHIVE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
test_program=$1 members=$2 installer=$3 archive=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/pm-members.XXXXXX")
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$here/../e2e/wine_prefix.sh" copy win10-32 "$work"
# Written before the prefix's server starts, so no Wine process is needed for it.
printf '\n[Software\\\\Wine\\\\Drivers] 1700000000\n"Graphics"="null"\n' >>"$work/prefix/user.reg"
unset DISPLAY
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# Drive Z: of every prefix is the host's root folder.
windows_path() { local p; p=$(realpath "$1"); printf 'Z:%s' "${p//\//\\}"; }
wine "$test_program" "$(windows_path "$members")" "$(windows_path "$installer")" \
  "$(windows_path "$archive")"
