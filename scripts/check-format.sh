#!/usr/bin/env bash
# Checks that the C++ lines changed since a base commit follow .clang-format; untouched lines are left alone.
# Base: QUORLIN_FORMAT_BASE, else where the branch left main, else the previous commit. Uncommitted changes
# count too. Exits 77 (a skip to CTest) outside a git checkout or without clang-format.
# With --fix, formats those lines in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(--dry-run --Werror)
[ "${1:-}" = "--fix" ] && mode=(-i)
skip() { echo "format check skipped: $1"; exit 77; }
command -v clang-format >/dev/null 2>&1 || skip "no clang-format"
git rev-parse --is-inside-work-tree >/dev/null 2>&1 || skip "not a git checkout"

base=${QUORLIN_FORMAT_BASE:-}
if [ -z "$base" ]; then
  base=$(git merge-base HEAD main 2>/dev/null || true)
  [ "$base" = "$(git rev-parse HEAD)" ] && base=
  [ -n "$base" ] || base=$(git rev-parse -q --verify HEAD~1 2>/dev/null) || skip "no earlier commit"
fi

failed=0
while IFS= read -r file; do
  [ -f "$file" ] || continue
  # The added lines of each hunk ("@@ -a,b +start,count @@") as clang-format line ranges.
  ranges=$(git diff -U0 --no-color "$base" -- "$file" \
    | sed -n 's/^@@ -[0-9,]* +\([0-9]*\)\(,\([0-9]*\)\)\{0,1\} @@.*/\1 \3/p' \
    | awk '{ n = ($2 == "") ? 1 : $2; if (n > 0) printf "--lines=%d:%d ", $1, $1 + n - 1 }')
  [ -n "$ranges" ] || continue
  # shellcheck disable=SC2086
  clang-format "${mode[@]}" $ranges "$file" || failed=1
done < <(git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp' '*.h')

[ "$failed" -eq 0 ] && echo "format check: changed lines since ${base:0:12} follow .clang-format"
exit "$failed"
