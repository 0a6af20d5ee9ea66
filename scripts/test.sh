#!/usr/bin/env bash
# Sets everything up, builds and runs every test; then once more in a build
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
jobs="$(nproc)"

"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j"$jobs")

if [ "${VEIL_SKIP_SANITIZERS:-0}" != "1" ]; then
  "$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DVEIL_SANITIZE=ON -DVEIL_BENCH=OFF
  (cd "$root/build-sanitize" && ctest --output-on-failure -j"$jobs")
fi
