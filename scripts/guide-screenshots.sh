#!/usr/bin/env bash
# Regenerates the user guide's screenshots from the real program, under Xvfb,
# over a sample case the generator builds itself. Commit data/help/images after.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
cmake --build "$root/build" --target veil_guideshots
xvfb-run -a -s '-screen 0 1600x1200x24' \
  "$root/build/data/veil_guideshots" "$root/build/program" "$root/data/help/images"
