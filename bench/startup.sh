#!/usr/bin/env bash
# Start-up benchmark: time from process start to the main window being mapped on the X server, and the peak
# resident memory of the idle window. Runs the built program under Xvfb (started here with xvfb-run when no
# display is set) from a scratch working folder, so the program's own log folder is left alone.
#
# Usage: bench/startup.sh [runs] [build-dir]     (defaults: 9 runs, build)
# Needs: xvfb (xvfb-run), x11-utils (xev).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
build=$(cd "${2:-$here/build}" && pwd)
app_dir="$build/bin"
idle_seconds=2

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$runs" "$build"
fi
for tool in xev stdbuf; do
  command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install x11-utils coreutils)" >&2; exit 1; }
done
[ -x "$app_dir/quorlin" ] || { echo "no program at $app_dir/quorlin: build first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program reads its data from the working folder: mirror the program's folder without its logs.
for f in "$app_dir"/*; do
  [ "$(basename "$f")" = log ] || ln -s "$f" "$work/"
done

now_us() { local t=$EPOCHREALTIME; echo "${t/./}"; }

# One start: prints "<milliseconds to map> <peak RSS in KiB>". Arguments: extra environment (VAR=value ...).
run_once() {
  local fifo="$work/xev.fifo" xev_pid app_pid start mapped line hwm
  rm -f "$fifo"
  mkfifo "$fifo"
  stdbuf -oL xev -root -event substructure >"$fifo" 2>/dev/null &
  xev_pid=$!
  exec 3<"$fifo"
  sleep 0.3 # let xev select its events on the root window before the program starts

  start=$(now_us)
  (cd "$work" && exec env "$@" ./quorlin) >/dev/null 2>&1 &
  app_pid=$!
  mapped=""
  while read -r -t 30 line <&3; do
    case "$line" in
      MapNotify*) mapped=$(now_us); break ;;
    esac
  done
  kill "$xev_pid" 2>/dev/null || true
  wait "$xev_pid" 2>/dev/null || true
  exec 3<&-
  if [ -z "$mapped" ]; then
    kill "$app_pid" 2>/dev/null || true
    echo "window never appeared" >&2
    return 1
  fi

  sleep "$idle_seconds"
  hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$app_pid/status")
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  echo "$(( (mapped - start) / 1000 )).$(( (mapped - start) % 1000 / 100 )) $hwm"
}

median() { sort -n | awk '{v[NR]=$1} END {if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
minimum() { sort -n | head -1; }
maximum() { sort -n | tail -1; }

# Fills the arrays times and mems with one entry per run.
measure() {
  times=()
  mems=()
  local i ms kib
  for ((i = 1; i <= runs; i++)); do
    read -r ms kib < <(run_once "$@")
    times+=("$ms")
    mems+=("$(awk -v k="$kib" 'BEGIN {printf "%.1f", k/1024}')")
  done
}

run_once >/dev/null # warm-up: file caches, font cache
measure
t_list=$(printf '%s\n' "${times[@]}")
m_list=$(printf '%s\n' "${mems[@]}")
plain_times=("${times[@]}")
# Under Xvfb, Qt's GLX integration loads Mesa's software renderer (libLLVM, ~45 MiB resident), which a desktop
# with a GPU driver would not; without it the figure is closer to the program's own footprint.
measure QT_XCB_GL_INTEGRATION=none
ng_t_list=$(printf '%s\n' "${times[@]}")
ng_m_list=$(printf '%s\n' "${mems[@]}")
printf '\nQuorlin start-up, Xvfb 1920x1080x24, %d runs after one warm-up, %d cores\n\n' "$runs" "$(nproc)"
printf '| %-40s | %8s | %8s | %8s |\n' "measure" "median" "min" "max"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..42})" "----------" "----------" "----------"
printf '| %-40s | %8s | %8s | %8s |\n' "process start to window mapped (ms)" \
  "$(median <<<"$t_list")" "$(minimum <<<"$t_list")" "$(maximum <<<"$t_list")"
printf '| %-40s | %8s | %8s | %8s |\n' "peak RSS, idle window after ${idle_seconds} s (MiB)" \
  "$(median <<<"$m_list")" "$(minimum <<<"$m_list")" "$(maximum <<<"$m_list")"
printf '| %-40s | %8s | %8s | %8s |\n' "same, without GLX: start to mapped (ms)" \
  "$(median <<<"$ng_t_list")" "$(minimum <<<"$ng_t_list")" "$(maximum <<<"$ng_t_list")"
printf '| %-40s | %8s | %8s | %8s |\n' "same, without GLX: peak RSS (MiB)" \
  "$(median <<<"$ng_m_list")" "$(minimum <<<"$ng_m_list")" "$(maximum <<<"$ng_m_list")"
printf '\nruns (ms): %s\n' "${plain_times[*]}"
