#!/usr/bin/env bash
# Builds and runs every benchmark, each printing its own table. Benchmarks run in the program's folder
# (build/bin) so they read the same staged data as the program; the list benchmarks need a display, which
# xvfb-run provides when none is set.
# Usage: bench/run.sh [build-dir]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
"$here/scripts/setup.sh" "$build"
cd "$build/bin"
run() {
  if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a -s "-screen 0 1600x1000x24" "$@"; fi
}
for bench in "$build"/bench/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  run "$bench" 2>/dev/null
  echo
done
echo "== start-up"
"$here/bench/startup.sh" 9 "$build"
