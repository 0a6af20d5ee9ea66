#!/usr/bin/env bash
# Builds the filter benchmark in release mode and runs it next to ImageMagick
# and libvips, which it installs when missing: run_filters.sh [repeats]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

missing=()
for p in imagemagick libvips-tools; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

dir="${VEIL_BENCH_BUILD:-$root/build-bench}"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEIL_TESTS=OFF >/dev/null
cmake --build "$dir" --target bench_filters
QT_QPA_PLATFORM=offscreen "$dir/bench/bench_filters" "${1:-7}"
