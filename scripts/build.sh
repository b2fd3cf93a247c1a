#!/usr/bin/env bash
# Configures and builds both configurations: build/native (portable code and its tests,
# sanitized) and build/win (the MinGW-w64 cross build of the installer and its Windows tests).
# The installer lands in dist/pixelmoor-4.59-setup-x32.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/native" -j "$jobs"
cmake -S "$root" -B "$root/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" >/dev/null
cmake --build "$root/build/win" -j "$jobs"
