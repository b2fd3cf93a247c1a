#!/usr/bin/env bash
# Wine prefix templates, one per Windows version, made once and copied for each test.
#   wine_prefix.sh make NAME        create the template NAME (win10-32, win7-32, winxp-32, win10-64)
#   wine_prefix.sh copy NAME DIR    copy it to DIR/prefix with a fresh home DIR/home
# Several test processes may ask for the same template at once (ctest runs tests in parallel):
# the first one makes it under a lock, the others wait for it and then copy it.
set -euo pipefail
store=${PIXELMOOR_WINE_TEMPLATES:-${XDG_CACHE_HOME:-$HOME/.cache}/pixelmoor-build/wine-templates}
cmd=${1:-} name=${2:-}
case $name in
  winxp-32|win7-32|win10-32|win10-64) ;;
  *) echo "wine_prefix.sh: unknown template '$name' (winxp-32, win7-32, win10-32, win10-64)" >&2; exit 2 ;;
esac
version=${name%-*} bits=${name##*-}

template_ok() {
  local dir=$store/$name
  [ -f "$dir/.ready" ] && [ -f "$dir/prefix/system.reg" ] && [ -f "$dir/prefix/user.reg" ] &&
    [ -d "$dir/prefix/drive_c/windows/system32" ]
}

make_template() {
  template_ok && return 0
  mkdir -p "$store"
  exec 9>"$store/.$name.lock"
  flock 9
  # Someone else may have made it while we waited for the lock.
  if template_ok; then exec 9>&-; return 0; fi
  local dir=$store/$name tmp
  tmp=$(mktemp -d "$store/.$name.XXXXXX")
  # A half-made template is never left behind: on any failure the scratch folder goes.
  trap 'WINEPREFIX="$tmp/prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$tmp"' EXIT
  mkdir -p "$tmp/home"
  echo "wine_prefix.sh: making template $name (once; takes a while)" >&2
  (
    export WINEPREFIX="$tmp/prefix" HOME="$tmp/home" WINEDEBUG=-all LC_ALL=C.UTF-8
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
    unset DISPLAY
    if [ "$bits" = 64 ]; then export WINEARCH=win64; loader=/usr/lib/wine/wine64
    else export WINEARCH=win32; loader=wine; fi
    "$loader" wineboot -i >/dev/null 2>&1
    "$loader" winecfg -v "$version" >/dev/null 2>&1
    if [ "$version" != winxp ]; then
      "$loader" reg add 'HKLM\SOFTWARE\RegisteredApplications' /f >/dev/null 2>&1
    fi
    wineserver -w
  )
  [ -f "$tmp/prefix/system.reg" ] && [ -d "$tmp/prefix/drive_c/windows/system32" ] || {
    echo "wine_prefix.sh: creating template $name failed" >&2; exit 1; }
  rm -rf "$dir"
  mv "$tmp" "$dir"
  trap - EXIT
  touch "$dir/.ready"
  exec 9>&-
}

case $cmd in
  make) make_template ;;
  copy)
    make_template
    dest=${3:?wine_prefix.sh copy NAME DIR}
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
  *) echo "usage: wine_prefix.sh make|copy NAME [DIR]" >&2; exit 2 ;;
esac
