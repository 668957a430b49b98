#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once plain, once under
# AddressSanitizer and UndefinedBehaviorSanitizer, then checks the formatting.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hv_install_deps

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== plain build"
cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_WERROR=ON >/dev/null
cmake --build build-ci -j"$jobs"
ctest --test-dir build-ci --output-on-failure -j"$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DHV_WERROR=ON -DHV_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j"$jobs"
bash scripts/test-fuzz.sh
bash scripts/test-windows.sh

echo "== formatting and layering"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
# Dependencies run one way: the core, the operations and hv stay free of Qt and of the
# window layers, and nothing outside app/ reaches into it.
qt_free=$(git ls-files 'gamefiles/*.cpp' 'gamefiles/*.h' 'cli/*.cpp' 'cli/*.h' '*_ops.cpp' '*_ops.h' \
    '*_commands.cpp')
if grep -lE '#include <Q|#include "(ui|app)/' $qt_free; then
    echo "Qt or a window layer included in the core, an operation or hv" >&2
    exit 1
fi
if git ls-files '*.cpp' '*.h' | grep -v '^app/' | xargs grep -l '#include "app/'; then
    echo "app/ included outside app/" >&2
    exit 1
fi
echo "All checks passed."
