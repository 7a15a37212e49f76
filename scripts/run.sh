#!/usr/bin/env bash
# Sets up (installs missing packages), builds and starts the program from its own folder.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh" "$here/build"
cd "$here/build/bin"
exec ./quorlin "$@"
