#!/usr/bin/env bash
# Runs a Windows test program under Wine in a throw-away prefix copied from a template.
# PIXELMOOR_WINE_TEMPLATE names the template (default: the Windows 10 32-bit one).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
template=${PIXELMOOR_WINE_TEMPLATE:-win10-32}
work=$(mktemp -d "${TMPDIR:-/tmp}/pm-wine.XXXXXX")
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$here/../tests/e2e/wine_prefix.sh" copy "$template" "$work"
export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
loader=wine
[ "${template%-64}" != "$template" ] && loader=/usr/lib/wine/wine64
"$loader" "$@"
