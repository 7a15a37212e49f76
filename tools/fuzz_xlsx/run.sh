#!/usr/bin/env bash
# Runs the workbook-reader fuzzer: tools/fuzz_xlsx/run.sh BUILD-DIR [SECONDS]
# The corpus and any findings stay in BUILD-DIR/fuzz, outside the repository.
set -euo pipefail
build=${1:?usage: run.sh build-dir [seconds]}
seconds=${2:-300}
out="$build/fuzz"
mkdir -p "$out/corpus" "$out/findings"
"$out/fuzz_xlsx_seeds" "$out/seeds"
cd "$out"
./fuzz_xlsx -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -max_len=65536 \
  -artifact_prefix=findings/ -print_final_stats=1 corpus seeds
