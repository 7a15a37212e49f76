#!/usr/bin/env bash
# Builds the Debian package: sets up (installs missing packages), builds what the package holds (not the
# tests) and runs cpack, which takes the dependencies from the binaries. Install the result with
#   sudo apt-get install ./quorlin_<version>_<arch>.deb
# Usage: scripts/package-deb.sh [build-dir]   (default: build; the package is written there)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-"$here/build"}")
"$here/scripts/setup.sh" "$build" quorlin_install_files
cd "$build"
rm -f quorlin_*.deb
cpack -G DEB >/dev/null
ls "$build"/quorlin_*.deb
