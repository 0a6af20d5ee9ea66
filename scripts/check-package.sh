#!/usr/bin/env bash
# Builds the Debian package from a built tree (check-package.sh [build folder],
# default: build) and checks it as a distribution would: lintian --pedantic,
# appstreamcli validate --pedantic on the metainfo and on the installed tree,
# desktop-file-validate on the menu entry. Any error or warning fails;
# lintian's information tags are shown and allowed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$(cd "${1:-$root/build}" && pwd)"
"$root/scripts/setup.sh" --package-check

rm -f "$dir"/veilcase_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
debs=("$dir"/veilcase_*.deb)
deb="${debs[0]}"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"

status=0
report() { # report NAME OUTPUT FAILED: prints the output, and fails on an issue line
  echo "== $1"
  printf '%s\n' "$2"
  if [ "$3" != 0 ] || grep -qE "$4" <<<"$2"; then
    echo "== $1: FAILED"
    status=1
  fi
}

rc=0
out="$(lintian --pedantic --display-info --fail-on error,warning "$deb" 2>&1)" || rc=$?
report "lintian --pedantic $(basename "$deb")" "$(grep -v '^running with root privileges' <<<"$out" || true)" "$rc" '^[EW]: '

for metainfo in "$tree"/usr/share/metainfo/*.xml; do
  rc=0
  out="$(appstreamcli validate --pedantic --strict --no-net "$metainfo" 2>&1)" || rc=$?
  report "appstreamcli validate --pedantic $(basename "$metainfo")" "$out" "$rc" '^[EWIP]: '
done
rc=0
out="$(appstreamcli validate-tree --pedantic --strict --no-net "$tree" 2>&1)" || rc=$?
report "appstreamcli validate-tree --pedantic" "$out" "$rc" '^[EWIP]: '

for entry in "$tree"/usr/share/applications/*.desktop; do
  rc=0
  out="$(desktop-file-validate "$entry" 2>&1)" || rc=$?
  report "desktop-file-validate $(basename "$entry")" "$out" "$rc" '.'
done

exit "$status"
