#!/usr/bin/env bash
# Start-up benchmark: time from process start to the main window being mapped on the X server, and the resident
# memory of the idle window, for the program and for its floor, a bare Qt program with seven tabs each holding
# a table and a button (build/bench/startup_baseline). The two start in turn, round after round, so that a
# busy machine weighs on both alike. Runs under Xvfb (started here with xvfb-run when no display is set) from a
# scratch working folder, so the program's own log folder is left alone.
#
# Usage: bench/startup.sh [runs] [build-dir]     (defaults: 9 runs, build)
# Needs: xvfb (xvfb-run), x11-utils (xev); the targets quorlin and startup_baseline built.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
build=$(cd "${2:-$here/build}" && pwd)
app_dir="$build/bin"
baseline="$build/bench/startup_baseline"
idle_seconds=2
target=1.5 # x the floor, for both figures

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$runs" "$build"
fi
for tool in xev stdbuf; do
  command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install x11-utils coreutils)" >&2; exit 1; }
done
[ -x "$app_dir/quorlin" ] || { echo "no program at $app_dir/quorlin: build first" >&2; exit 1; }
[ -x "$baseline" ] || { echo "no floor at $baseline: build the target startup_baseline" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program reads its data from the working folder: mirror the program's folder without its logs.
for f in "$app_dir"/*; do
  [ "$(basename "$f")" = log ] || ln -s "$f" "$work/"
done

now_us() { local t=$EPOCHREALTIME; echo "${t/./}"; }

# One start of the given executable: prints "<milliseconds to map> <idle RSS KiB> <peak RSS KiB>".
run_once() {
  local fifo="$work/xev.fifo" xev_pid app_pid start mapped line rss hwm
  rm -f "$fifo"
  mkfifo "$fifo"
  stdbuf -oL xev -root -event substructure >"$fifo" 2>/dev/null &
  xev_pid=$!
  exec 3<"$fifo"
  sleep 0.3 # let xev select its events on the root window before the program starts

  start=$(now_us)
  (cd "$work" && exec "$1") >/dev/null 2>&1 &
  app_pid=$!
  mapped=""
  while read -r -t 15 line <&3; do
    case "$line" in
      MapNotify*) mapped=$(now_us); break ;;
    esac
  done
  kill "$xev_pid" 2>/dev/null || true
  wait "$xev_pid" 2>/dev/null || true
  exec 3<&-
  if [ -z "$mapped" ]; then
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    echo "window never appeared" >&2
    return 1
  fi

  sleep "$idle_seconds"
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$app_pid/status")
  hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$app_pid/status")
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  echo "$(( (mapped - start) / 1000 )).$(( (mapped - start) % 1000 / 100 )) $rss $hwm"
}

# A start whose map the watcher missed (it was not listening yet on a busy machine) is run again.
measure() {
  local attempt
  for attempt in 1 2 3; do
    run_once "$1" && return 0
  done
  return 1
}

median() { sort -n | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
minimum() { sort -n | head -1; }
maximum() { sort -n | tail -1; }
mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k/1024}'; }

# For reference: the program with Qt's OpenGL integration loaded, as a bare Qt program has it.
printf '#!/bin/sh\nQT_XCB_GL_INTEGRATION=xcb_glx exec ./quorlin\n' >"$work/quorlin-with-gl"
chmod +x "$work/quorlin-with-gl"

app_ms=() app_rss=() app_hwm=() base_ms=() base_rss=() base_hwm=() gl_ms=() gl_rss=()
measure "$baseline" >/dev/null # warm-up: file caches, font cache
measure ./quorlin >/dev/null
for ((i = 1; i <= runs; i++)); do
  read -r ms kib peak < <(measure "$baseline")
  base_ms+=("$ms") base_rss+=("$(mib "$kib")") base_hwm+=("$(mib "$peak")")
  read -r ms kib peak < <(measure ./quorlin)
  app_ms+=("$ms") app_rss+=("$(mib "$kib")") app_hwm+=("$(mib "$peak")")
  read -r ms kib peak < <(measure ./quorlin-with-gl)
  gl_ms+=("$ms") gl_rss+=("$(mib "$kib")")
done

row() { # label, floor values, program values
  local label=$1 floor program fm pm ratio met
  floor=$(printf '%s\n' $2)
  program=$(printf '%s\n' $3)
  fm=$(median <<<"$floor")
  pm=$(median <<<"$program")
  ratio=$(awk -v p="$pm" -v f="$fm" 'BEGIN {printf "%.2f", (f > 0 ? p / f : 0)}')
  met=$(awk -v r="$ratio" -v t="$4" 'BEGIN {print (t == "" ? "-" : (r <= t ? "yes" : "NO"))}')
  printf '| %-36s | %8s | %8s | %17s | %7s | %6s | %4s |\n' "$label" "$fm" "$pm" \
    "$(minimum <<<"$program")-$(maximum <<<"$program")" "$ratio" "${4:--}" "$met"
}

printf '\nStart-up, Xvfb 1920x1080x24, %d runs of each after one warm-up, %d cores\n\n' "$runs" "$(nproc)"
printf '| %-36s | %8s | %8s | %17s | %7s | %6s | %4s |\n' "median of each" "floor" "Quorlin" "Quorlin min-max" \
  "x floor" "target" "met"
printf '|%s|----------|----------|-------------------|---------|--------|------|\n' "$(printf -- '-%.0s' {1..38})"
row "process start to window mapped (ms)" "${base_ms[*]}" "${app_ms[*]}" "$target"
row "RSS of the idle window (MiB)" "${base_rss[*]}" "${app_rss[*]}" "$target"
row "peak RSS (MiB)" "${base_hwm[*]}" "${app_hwm[*]}" ""
row "start to mapped, GL loaded (ms)" "${base_ms[*]}" "${gl_ms[*]}" ""
row "idle RSS, GL loaded (MiB)" "${base_rss[*]}" "${gl_rss[*]}" ""
printf '\nfloor runs (ms):   %s\nQuorlin runs (ms): %s\nwith GL (ms):      %s\n' "${base_ms[*]}" "${app_ms[*]}" "${gl_ms[*]}"
