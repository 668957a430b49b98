#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows (MinGW-w64) from Debian's own source of the Qt it
# packages, once, into a cache outside the repository, and prints the install folder last.
# Debian ships no Qt for MinGW; the source of qt6-base gives qtbase of exactly the version of
# the installed qt6-base-dev, whose moc, rcc and uic then serve as the host tools.
#   scripts/qt-mingw.sh                  (prints e.g. /root/.cache/hv/qt-6.4.2-mingw-static)
#   HV_QT_MINGW=DIR scripts/qt-mingw.sh  (installs into DIR instead)
# A finished install carries a stamp with the version and the options; with the stamp in
# place the script does nothing. Fails loudly when the source cannot be fetched or built.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
source scripts/deps.sh
hv_install_deps dpkg-dev

deb_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
version=${deb_version%%+*}
version=${version%%-*}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/hv
prefix=${HV_QT_MINGW:-$cache/qt-$version-mingw-static}
jobs=${HV_JOBS:-$(nproc)}

# Only what the editor and its tests use. OpenGL stays (dynamic): the Windows platform plugin
# of this version does not compile without it. Debian's source leaves out the tablet header
# the Windows plugin includes, hence no tablet events. Without Direct2D, Qt Gui leaves out the
# DirectWrite font database that the Windows plugin still refers to with directwrite3 on.
options=(
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64.cmake"
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=OFF
    -DCMAKE_INSTALL_PREFIX="$prefix"
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DFEATURE_gui=ON
    -DFEATURE_widgets=ON
    -DFEATURE_testlib=ON
    -DFEATURE_network=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_direct2d=OFF
    -DFEATURE_directwrite3=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_vulkan=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_freetype=ON
    -DFEATURE_harfbuzz=ON
    -DINPUT_opengl=dynamic
)
# One build at a time: a second run waits, then finds the stamp.
mkdir -p "$cache"
exec 9>"$cache/qt-$version-mingw.lock"
flock 9

stamp_text="qtbase $deb_version ${options[*]//$repo/}"
stamp=$prefix/hv-stamp.txt
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; then
    echo "Qt $version for MinGW-w64: using $prefix" >&2
    echo "$prefix"
    exit 0
fi

work=$cache/qt-$version-mingw-work
rm -rf "$work" "$prefix"
mkdir -p "$work"
start=$SECONDS

echo "== Qt $version for MinGW-w64: fetching Debian's source of qt6-base $deb_version" >&2
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
has_deb_src() {
    grep -rhsE '^[[:space:]]*(deb-src|Types:.*deb-src)' /etc/apt/sources.list \
        /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources | grep -q .
}
if ! has_deb_src; then
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    echo "adding a deb-src entry for $codename" >&2
    $sudo tee /etc/apt/sources.list.d/hv-deb-src.sources >/dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $sudo apt-get update -qq
fi
if ! (cd "$work" && apt-get source -qq "qt6-base=$deb_version" >&2); then
    echo "Qt for MinGW-w64: the source of qt6-base $deb_version cannot be fetched;" \
        "the Windows editor cannot be built" >&2
    exit 1
fi
src=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'qt6-base-*' | head -n 1)
[ -n "$src" ] || { echo "Qt for MinGW-w64: no source folder after apt-get source" >&2; exit 1; }
fetched=$SECONDS

echo "== Qt $version for MinGW-w64: configure" >&2
cmake -S "$src" -B "$work/build" -G "Unix Makefiles" "${options[@]}" >"$work/configure.log" 2>&1 || {
    tail -n 40 "$work/configure.log" >&2
    exit 1
}
configured=$SECONDS
echo "== Qt $version for MinGW-w64: build ($jobs jobs; takes long once, then is cached)" >&2
cmake --build "$work/build" -j"$jobs" >"$work/build.log" 2>&1 || {
    grep -E 'error|Error' "$work/build.log" | head -n 40 >&2
    tail -n 20 "$work/build.log" >&2
    exit 1
}
built=$SECONDS
cmake --install "$work/build" >"$work/install.log" 2>&1 || {
    tail -n 20 "$work/install.log" >&2
    exit 1
}
echo "$stamp_text" >"$stamp"
echo "Qt $version for MinGW-w64: fetched in $((fetched - start)) s, configured in" \
    "$((configured - fetched)) s, built in $((built - configured)) s, installed" \
    "$(du -sm "$prefix" | cut -f1) MB into $prefix" >&2
rm -rf "$work"
echo "$prefix"
