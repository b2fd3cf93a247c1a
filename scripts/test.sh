#!/usr/bin/env bash
# Installs what is missing, builds both configurations and runs every test tier with ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
status=0
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)" || status=1
ctest --test-dir "$root/build/win" --output-on-failure -j "$(nproc)" || status=1
exit $status
