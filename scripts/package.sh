#!/usr/bin/env bash
# Builds a Debian package of Veilcase with CPack: package.sh [build folder]
# (default: build-package). The .deb lands in the build folder;
# scripts/check-package.sh checks one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build-package}"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVEIL_TESTS=OFF -DVEIL_BENCH=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)"
(cd "$dir" && cpack -G DEB)
ls "$dir"/*.deb
