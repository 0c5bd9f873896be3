#!/usr/bin/env bash
# Makes the Debian package from the Release build (the one scripts/test.sh
# builds; only what is missing is built) and checks it: lintian reports no
# error and no warning, and the AppStream metainfo validates, alone and in the
# tree the package installs. Prints the package's path last.
#
# Install it with `apt install ./build/release/ondrel_*.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target ondrel ondrel-convert komreg tickwell-frame tickwell compressed_docs
rm -f build/release/ondrel_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/ondrel_*.deb)

echo "== lintian"
lintian --fail-on error,warning "$deb"
echo "== appstreamcli validate"
appstreamcli validate --no-net data/org.ondrel.ondrel.metainfo.xml
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
appstreamcli validate-tree --no-net "$tree"
echo "$deb"
