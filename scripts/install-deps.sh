#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12, as root.
# Idempotent: when every package is present it only checks and returns.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)

packages=(
  build-essential cmake ninja-build pkg-config
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  libz-mingw-w64-dev zlib1g-dev libminizip-dev
  googletest libgtest-dev libgmock-dev
  wine wine32:i386 wine64 xvfb x11-apps imagemagick
  unzip zip liblnk-utils python3 dpkg-dev locales
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# deb-src entries are needed for the minizip sources of the zlib package.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
  else
    echo 'deb-src http://deb.debian.org/debian bookworm main' > /etc/apt/sources.list.d/deb-src.list
  fi
  need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ "${need_update:-0}" = 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
fi

# minizip sources for the Windows build, unpacked once into a cache outside version control.
cache=${PIXELMOOR_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pixelmoor-build}
if [ ! -f "$cache/minizip/unzip.c" ]; then
  mkdir -p "$cache/src"
  (cd "$cache/src" && apt-get source -qq --download-only zlib=1:1.2.13.dfsg-1 >/dev/null)
  rm -rf "$cache/src/unpacked"
  mkdir -p "$cache/src/unpacked"
  dsc=$(ls "$cache"/src/zlib_*.dsc | head -n 1)
  dpkg-source -x "$dsc" "$cache/src/unpacked/zlib" >/dev/null
  mkdir -p "$cache/minizip"
  cp "$cache"/src/unpacked/zlib/contrib/minizip/{unzip.c,unzip.h,ioapi.c,ioapi.h,iowin32.c,iowin32.h,crypt.h} "$cache/minizip/"
fi
# Wine's 32-bit loader is an i386 Linux program. Where the kernel runs no 32-bit programs
# (ia32 emulation switched off), i386 programs are run through QEMU's user-mode emulator,
# registered with binfmt_misc. Bookworm's QEMU 7.2 needs about a minute to start one Wine
# process (its memory-map search is slow); the static emulator of Debian 13 starts it at once.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  qemu=/usr/local/lib/pixelmoor/qemu-i386
  if [ ! -x "$qemu" ]; then
    apt_dir="$cache/apt-trixie"
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/deb"
    echo 'deb http://deb.debian.org/debian trixie main' > "$apt_dir/sources.list"
    apt_opts=(-o Dir::Etc::sourcelist="$apt_dir/sources.list" -o Dir::Etc::sourceparts=-
              -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
              -o APT::Architecture=amd64 -o APT::Architectures=amd64)
    apt-get "${apt_opts[@]}" update -qq
    (cd "$apt_dir/deb" && apt-get "${apt_opts[@]}" download qemu-user 2>/dev/null)
    rm -rf "$apt_dir/x" && dpkg -x "$apt_dir"/deb/qemu-user_*.deb "$apt_dir/x"
    install -D -m 755 "$apt_dir/x/usr/bin/qemu-i386" "$qemu"
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/pixelmoor-i386" ] || ! grep -q "interpreter $qemu" "$binfmt/pixelmoor-i386"; then
    [ -e "$binfmt/pixelmoor-i386" ] && echo -1 > "$binfmt/pixelmoor-i386"
    for other in "$binfmt"/qemu-i386; do [ -e "$other" ] && echo -1 > "$other"; done
    printf '%s' ':pixelmoor-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' > "$binfmt/register"
  fi
  /lib/ld-linux.so.2 --version >/dev/null
fi
echo "dependencies ready"
