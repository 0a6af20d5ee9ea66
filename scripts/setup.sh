#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when missing:
# setup.sh [--package-check], the flag adding the tools that check the
# Debian package (scripts/check-package.sh).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  qt6-multimedia-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
  libsqlite3-dev mdbtools-dev libexiv2-dev libssl-dev
  xvfb xauth
  poppler-utils
  dpkg-dev help2man
)
if [ "${1:-}" = "--package-check" ]; then
  packages+=(lintian appstream desktop-file-utils)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
