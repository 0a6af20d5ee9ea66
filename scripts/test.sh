#!/usr/bin/env bash
# Sets everything up, builds and runs every test, checks the Debian package of
# that build; then runs the tests once more in a build with AddressSanitizer
# and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
jobs="$(nproc)"

"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j"$jobs")
# The Debian package of that same build, checked as a distribution would.
"$root/scripts/check-package.sh" "$root/build"

if [ "${VEIL_SKIP_SANITIZERS:-0}" != "1" ]; then
  "$root/scripts/build.sh" "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DVEIL_SANITIZE=ON -DVEIL_BENCH=OFF
  (cd "$root/build-sanitize" && ctest --output-on-failure -j"$jobs")
fi
