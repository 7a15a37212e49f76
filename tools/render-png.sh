#!/usr/bin/env bash
# Regenerates every PNG under resources/image from its source resources/image/src/<name>.svg at the exact
# size listed in resources/image/sizes.txt, the Windows application icon and the desktop menu icons from
# the logo.
# Usage: tools/render-png.sh [build-dir]   (the renderer is built in <build-dir>/svg2png, default build/)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}/svg2png
images="$here/resources/image"

cmake -S "$here/tools/svg2png" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 >/dev/null
svg2png="$build/svg2png"

# The renderer runs offscreen; give Qt a private runtime folder so it does not complain about a missing one.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d)
  export XDG_RUNTIME_DIR
  trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
fi

count=0
while read -r name width height _; do
  case "$name" in ''|'#'*) continue ;; esac
  [[ "$name" == *.png ]] || continue
  "$svg2png" "$images/src/${name%.png}.svg" "$images/$name" "$width" "$height"
  count=$((count + 1))
done < "$images/sizes.txt"

"$svg2png" "$images/logo.svg" "$here/resources/quorlin.ico" 256 256
for size in 48 128 256; do
  folder="$here/resources/icons/hicolor/${size}x${size}/apps"
  mkdir -p "$folder"
  "$svg2png" "$images/logo.svg" "$folder/com.korvel.Quorlin.png" "$size" "$size"
done
echo "rendered $count PNGs, resources/quorlin.ico and the menu icons in resources/icons/"
