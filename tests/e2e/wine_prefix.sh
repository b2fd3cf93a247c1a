#!/usr/bin/env bash
# Wine prefix templates, one per Windows version, made once and copied for each test.
#   wine_prefix.sh make NAME        create the template NAME (win10-32, win7-32, winxp-32, win10-64)
#   wine_prefix.sh copy NAME DIR    copy it to DIR/prefix with a fresh home DIR/home
set -euo pipefail
store=${PIXELMOOR_WINE_TEMPLATES:-${XDG_CACHE_HOME:-$HOME/.cache}/pixelmoor-build/wine-templates}
cmd=$1 name=$2
version=${name%-*} bits=${name##*-}
make_template() {
  local dir=$store/$name tmp
  [ -f "$dir/.ready" ] && return 0
  mkdir -p "$store"
  tmp=$(mktemp -d "$store/.$name.XXXXXX")
  mkdir -p "$tmp/home"
  (
    export WINEPREFIX="$tmp/prefix" HOME="$tmp/home" WINEDEBUG=-all
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    if [ "$bits" = 64 ]; then export WINEARCH=win64; loader=/usr/lib/wine/wine64
    else export WINEARCH=win32; loader=wine; fi
    "$loader" wineboot -i >/dev/null 2>&1
    "$loader" winecfg -v "$version" >/dev/null 2>&1
    if [ "$version" != winxp ]; then
      "$loader" reg add 'HKLM\SOFTWARE\RegisteredApplications' /f >/dev/null 2>&1
    fi
    wineserver -w
  )
  rm -rf "$dir"
  mv "$tmp" "$dir"
  touch "$dir/.ready"
}
case $cmd in
  make) make_template ;;
  copy)
    make_template
    dest=$3
    mkdir -p "$dest/home"
    cp -a "$store/$name/prefix" "$dest/prefix"
    # The profile folders of a new prefix link to the home it was made with; point them at
    # the copy's own home so that nothing lands in the template.
    for link in "$dest"/prefix/drive_c/users/*/*; do
      if [ -L "$link" ]; then
        rm "$link"; mkdir -p "$dest/home/$(basename "$link")"; ln -s "$dest/home/$(basename "$link")" "$link"
      fi
    done
    ;;
esac
