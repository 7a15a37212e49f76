#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, then configures and builds.
# Usage: scripts/setup.sh [build-dir [target...]]   (default: build, every target)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}
targets=("${@:2}")

packages=(
  cmake g++ make pkg-config
  qtbase5-dev qtbase5-dev-tools libqt5svg5-dev qttools5-dev-tools
  libopencc-dev libopencc-data opencc
  libxlsxwriter-dev libzip-dev zlib1g-dev libssl-dev
  fonts-noto-cjk unicode-data
  xvfb xauth x11-utils dbus-daemon openssl
  desktop-file-utils appstream dpkg-dev file
  exfatprogs exfat-fuse e2fsprogs
  clang-format git
  dbus
  qttranslations5-l10n
  libexiv2-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "Missing packages. Please run:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
fi

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"
else
  cmake --build "$build" -j"$(nproc)"
fi
