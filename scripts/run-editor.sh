#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it on a copy of the bundled sample
# game (run/game), with its own working folder (run/) whose options.dat points at the copy.
# The bundled sample itself is never changed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hv_install_deps

cmake -S . -B build-run -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-run -j"$(nproc)" --target hv-editor hv

mkdir -p run
if [ ! -d run/game ]; then
    cp -r sample/game run/game
fi
if [ ! -f run/options.dat ]; then
    printf '%s\r\n' "$PWD/run/game" > run/options.dat
fi
cd run
exec ../build-run/app/hv-editor "$@"
