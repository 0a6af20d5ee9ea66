#!/usr/bin/env bash
# Sets everything up, builds and starts Veilcase from its program folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"
exec "$root/build/program/veilcase" "$@"
