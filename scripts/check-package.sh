#!/usr/bin/env bash
# Builds the Debian package and checks it: lintian on the package,
# desktop-file-validate on its desktop entry, appstreamcli on its AppStream
# metadata. Prints the package's name, size and file list first.
# usage: scripts/check-package.sh [BUILD_DIR]
set -uo pipefail
build=${1:-build}
cmake --build "$build" --target package >/dev/null || exit 1
deb=$(ls -t "$build"/cobaltquarry_*.deb | head -n 1)
echo "== $deb ($(stat -c %s "$deb") bytes)"
dpkg-deb --field "$deb"
echo "== files"
dpkg-deb --contents "$deb"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb --extract "$deb" "$tmp"
status=0
echo "== lintian"
lintian --info "$deb" || status=1
echo "== desktop-file-validate"
desktop-file-validate "$tmp/usr/share/applications/cobaltquarry.desktop" || status=1
echo "== appstreamcli validate"
appstreamcli validate --no-net "$tmp/usr/share/metainfo/cobaltquarry.metainfo.xml"
exit $status
