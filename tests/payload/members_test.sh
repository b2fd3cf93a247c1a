#!/usr/bin/env bash
# Runs the Windows tests of the sample programs under Wine, in a throw-away copy of the
# Windows 10 32-bit prefix, on a virtual X display (the programs open windows).
#   members_test.sh TEST_PROGRAM MEMBERS_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
test_program=$1 members=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/pm-members.XXXXXX")
xvfb=
cleanup() {
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display")
"$here/../e2e/wine_prefix.sh" copy win10-32 "$work"
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
wine "$test_program" "$(wine winepath -w "$members" 2>/dev/null | tr -d '\r')"
