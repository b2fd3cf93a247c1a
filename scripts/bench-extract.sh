#!/usr/bin/env bash
# Benchmark of the extraction walk against unzip on the same large archive, same machine, same
# run. Builds build/bench (-O2, no sanitizers), generates the archive once
# (payload/make_large_archive.py), extracts it with both, checks the results are identical and
# prints wall time and peak memory of each. Usage: scripts/bench-extract.sh [MEGABYTES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench=$root/build/bench
megabytes=${1:-240}
cmake -S "$root" -B "$bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
  -DPM_SANITIZERS=OFF >/dev/null
cmake --build "$bench" -j 2 --target pm_extract_bench >/dev/null
archive=$bench/large-$megabytes.zip
[ -f "$archive" ] || python3 "$root/payload/make_large_archive.py" "$archive" "$megabytes"
work=$(mktemp -d "${TMPDIR:-/tmp}/pm-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "archive: $(du -m "$archive" | cut -f1) MB, $(unzip -Z1 "$archive" | wc -l) entries"

measure() {  # label, command...: prints wall seconds and peak RSS
  local label=$1; shift
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
  read -r wall rss <"$work/time"
  printf '%-10s wall %7.2f s   peak RSS %8d KiB\n' "$label" "$wall" "$rss"
  echo "$wall" >"$work/$label.wall"
}
sync
measure walk "$bench/tests/bench/pm_extract_bench" "$archive" "$work/walk"
measure unzip unzip -o -q "$archive" -d "$work/unzip"
diff -r "$work/walk" "$work/unzip" >/dev/null && echo "outputs identical"
python3 -c "import sys; a, b = (float(open(p).read()) for p in sys.argv[1:]); print(f'wall time ratio walk/unzip: {a / b:.2f}')" \
  "$work/walk.wall" "$work/unzip.wall"
