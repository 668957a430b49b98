#!/usr/bin/env bash
# Cross-builds hv.exe and the Qt-free tests for Windows (MinGW-w64), runs the tests under
# Wine, then runs hv.exe and the Linux hv on two copies of the sample game and requires the
# same output and byte-for-byte the same files.
#   scripts/test-windows.sh            (after scripts/test.sh's plain build, or on its own)
#   HV_LINUX=path/to/hv scripts/test-windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hv_install_deps

start=$SECONDS
jobs=$(nproc)
build=build-win

echo "== Windows build (MinGW-w64)"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DHV_BUILD_GUI=OFF \
    -DHV_WERROR=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$jobs"
built=$SECONDS

# Wine keeps its own world in the build folder. One server (and the services it starts) lives
# until the end, which spares every program its two-second start; it is started with output to
# /dev/null, since a service that inherits a pipe holds it open long after the program ended.
export WINEDEBUG=-all WINEPREFIX=$PWD/$build/wineprefix
wine=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p >/dev/null 2>&1
trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true' EXIT
"$wine" cmd /c exit >/dev/null 2>&1 || true # creates the prefix on the first run

echo "== Qt-free tests under Wine"
ctest --test-dir "$build" --output-on-failure -j"$jobs"

echo "== hv.exe against the Linux hv on the sample game"
linux_hv=${HV_LINUX:-build-ci/cli/hv}
if [ ! -x "$linux_hv" ]; then
    cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_WERROR=ON >/dev/null
    cmake --build build-ci -j"$jobs" --target hv
fi
e2e=$build/e2e
rm -rf "$e2e"
mkdir -p "$e2e/linux" "$e2e/windows"
cp -r sample/game "$e2e/linux/game"
cp -r sample/game "$e2e/windows/game"
hv_exe=$PWD/$build/cli/hv.exe
linux_hv=$(realpath "$linux_hv")

# Each command runs on both copies in turn: the expected exit status, then the words of the
# command and its arguments, split at "|". Output (without Windows' CR) and exit status must
# agree. Trades into the own roster and between rivals draw no random numbers.
commands=(
    "0|roster set|Thuus Valyarix|draw=80|finisher=Copper Crush|manager=no"
    "0|roster move|Rapid Tovquorik|up"
    "0|roster move|Thuus Valyarix|down"
    "0|injuries heal"
    "0|trade|Thuan Holgriar|ecw|own|--years|3"
    "0|trade|Grien Wrojasik|ecw|indy"
    "0|feuds set|2=500|4=10600"
    "0|titles set|1=Thuus Valyarix"
    "0|managers add"
    "0|roster add"
    "0|roster delete|Mad Orkzenor"
    "0|--slot save2 roster list"
    "1|roster set|Nobody Here|draw=1"
    "0|check"
)
failed=0
for line in "${commands[@]}"; do
    IFS='|' read -r -a parts <<<"$line"
    read -r -a words <<<"${parts[1]}"
    args=("${words[@]}" "${parts[@]:2}")
    code_linux=0 code_windows=0
    out_linux=$(cd "$e2e/linux" && "$linux_hv" --game-folder game "${args[@]}" 2>&1) ||
        code_linux=$?
    (cd "$e2e/windows" && "$wine" "$hv_exe" --game-folder game "${args[@]}" >../out 2>&1) ||
        code_windows=$?
    out_windows=$(tr -d '\r' <"$e2e/out")
    # Messages name files with the system's own separators.
    out_windows=${out_windows//\\//}
    if [ "$code_linux" != "${parts[0]}" ] || [ "$code_windows" != "${parts[0]}" ] ||
        [ "$out_linux" != "$out_windows" ]; then
        echo "hv ${args[*]}: Linux exit $code_linux, Windows exit $code_windows," \
            "expected ${parts[0]}" >&2
        diff <(echo "$out_linux") <(echo "$out_windows") >&2 || true
        failed=1
    fi
done
if diff -r sample/game "$e2e/linux/game" >/dev/null; then
    echo "the Linux hv changed nothing; the comparison proves nothing" >&2
    failed=1
fi
# Restore points record when they were made; everything else must match.
if ! diff -r -x point.txt "$e2e/linux/game" "$e2e/windows/game"; then
    echo "hv.exe left other bytes than the Linux hv" >&2
    failed=1
fi
[ "$failed" -eq 0 ] || exit 1
echo "Windows: built in $((built - start)) s, tested in $((SECONDS - built)) s;" \
    "hv.exe is $(stat -c %s "$hv_exe") bytes."
