#!/bin/bash
# Builds the Debian package hv-editor_VERSION_ARCH.deb in build-deb/ (or the build folder
# given, configured as it is) and checks it with lintian (errors fail the script, warnings
# are shown) and appstreamcli.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hv_install_deps lintian appstream help2man dpkg-dev file

build=${1:-build-deb}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DHV_WERROR=ON
cmake -S . -B "$build" >/dev/null # picks up help2man when it was just installed
cmake --build "$build" -j"$(nproc)" --target hv hv-editor hv_docs hv_completion
rm -f "$build"/hv-editor_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/hv-editor_*.deb)
echo "== $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
echo "== appstreamcli validate"
appstreamcli validate --no-net desktop/io.github.hv_editor.HvEditor.metainfo.xml
echo "== lintian"
lintian --fail-on error "$deb"
echo "Install with: sudo apt install ./$deb"
