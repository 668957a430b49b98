#!/usr/bin/env bash
# Cross-builds hv.exe, hv-editor.exe and every test for Windows (MinGW-w64, against the static
# Qt that scripts/qt-mingw.sh builds once and caches), and proves them under Wine:
#   - every test, the window tests on Qt's offscreen platform;
#   - hv.exe and the Linux hv on two copies of the sample game: the same output and the same
#     bytes in every file;
#   - hv-editor.exe started for real on a virtual display, driven by keys like a player, and
#     the Linux editor driven the same way: the same change in the same bytes;
#   - the installer installs, the installed editor starts, the uninstaller removes it all.
#   scripts/test-windows.sh            (after scripts/test.sh's plain build, or on its own)
#   HV_LINUX=path/to/hv HV_LINUX_EDITOR=path/to/hv-editor scripts/test-windows.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hv_install_deps
source scripts/windows.sh

start=$SECONDS
jobs=$(nproc)
build=$HV_WIN_BUILD

echo "== Qt for MinGW-w64"
hv_windows_configure
qt_ready=$SECONDS
echo "== Windows build (MinGW-w64): hv.exe, hv-editor.exe and the tests"
cmake --build "$build" -j"$jobs"
built=$SECONDS

e2e=$PWD/$build/e2e
rm -rf "$e2e"
mkdir -p "$e2e"
# One virtual display for everything that opens a window, the window tests' hidden ones too.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$e2e/display" 2>/dev/null &
xvfb=$!
pids=()
stop() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb" 2>/dev/null || true
}
trap stop EXIT
for _ in $(seq 100); do [ -s "$e2e/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$e2e/display")

# Wine keeps its own world in the build folder. One server (and the services it starts) lives
# until the end, which spares every program its two-second start; it is started with output to
# /dev/null, since a service that inherits a pipe holds it open long after the program ended.
export WINEDEBUG=-all WINEPREFIX=$PWD/$build/wineprefix WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p >/dev/null 2>&1
timeout 300 "$wine" cmd /c exit >/dev/null 2>&1 || true # creates the prefix on the first run
# Windows' dialog font, "MS Shell Dlg", is Wine's own Tahoma here, whose glyph boxes are four
# times the line: Qt centres a line edit's text by them and draws it above the box, so every
# box would look empty on the screenshots. A real font stands in, as Segoe UI does on Windows.
timeout 60 "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'MS Shell Dlg' /d 'DejaVu Sans' /f >/dev/null 2>&1 ||
    echo "Wine: no stand-in for MS Shell Dlg; boxes look empty on the screenshots" >&2

echo "== every test under Wine, the windows on the offscreen platform"
# Offscreen Qt on Windows reads its fonts from files.
QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu' \
    ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 600
tested=$SECONDS

echo "== hv.exe against the Linux hv on the sample game"
linux_hv=${HV_LINUX:-build-ci/cli/hv}
if [ ! -x "$linux_hv" ]; then
    cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_WERROR=ON >/dev/null
    cmake --build build-ci -j"$jobs" --target hv
fi
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
    (cd "$e2e/windows" && timeout 60 "$wine" "$hv_exe" --game-folder game "${args[@]}" >../out 2>&1) ||
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

# hv.exe reads options.dat beside itself, wherever it is started from.
mkdir -p "$e2e/program"
cp "$hv_exe" "$e2e/program/"
printf 'C:\\Games\\Halvorn\r\n' >"$e2e/program/options.dat"
shown=$(cd "$e2e" && timeout 60 "$wine" program/hv.exe game-folder show | tr -d '\r')
if [ "$(head -n 1 <<<"$shown")" != 'C:\Games\Halvorn' ] ||
    [[ "$(tail -n 1 <<<"$shown")" != *'\program\options.dat' ]]; then
    echo "hv.exe did not read options.dat beside itself: \"$shown\"" >&2
    exit 1
fi

echo "== hv-editor.exe under Wine on a display against the Linux editor"
linux_editor=${HV_LINUX_EDITOR:-build-ci/app/hv-editor}
if [ ! -x "$linux_editor" ]; then
    cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHV_WERROR=ON >/dev/null
    cmake --build build-ci -j"$jobs" --target hv-editor
fi
linux_editor=$(realpath "$linux_editor")
editor_exe=$PWD/$build/app/hv-editor.exe

# Prints the id of a shown window with this caption, waiting up to two minutes for one. A
# search dies of an X error when a window goes while it walks the tree (programs make and drop
# windows as they start), so it is tried again until a window it found is still there.
window() {
    local id
    for _ in $(seq 240); do
        for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
            xdotool getwindowname "$id" >/dev/null 2>&1 && { echo "$id"; return 0; }
        done
        sleep 0.5
    done
    return 1
}
# Says which windows are shown and keeps a picture of the screen, when one did not turn up.
shown_windows() {
    echo "$1; the windows shown:" >&2
    for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        xdotool getwindowname "$id" 2>/dev/null | sed 's/^/    /' >&2 || true
    done
    import -window root "$e2e/$2-failed.png" 2>/dev/null || true
    echo "    the screen: $e2e/$2-failed.png; the program's output:" >&2
    sed 's/^/    /' "$e2e/$2.log" >&2 || true
}
# Gives the window with this caption the keyboard (looked up again while it does not take it)
# and types into it, a little time after each key.
keys() {
    local caption=$1 id
    shift
    for _ in $(seq 20); do
        id=$(window "$caption") &&
            timeout 10 xdotool mousemove --window "$id" 1 1 windowfocus --sync "$id" \
                2>/dev/null && break
        id=
        sleep 0.5
    done
    [ -n "$id" ] || { echo "the window \"$caption\" does not take the keyboard" >&2; return 1; }
    sleep 0.5
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.3
    done
}
# Runs the editor (the command in the arguments) as a player would: "Roster Stats" from the
# main window, then in the roster editor a new draw for the wrestler shown first and "Apply
# Changes". Only keys, which reach the same controls on both systems. $1 names the run.
play() {
    local name=$1
    shift
    "$@" >"$e2e/$name.log" 2>&1 &
    pids+=($!)
    if ! window "Unofficial HV Editor" >/dev/null; then
        shown_windows "$name: no main window \"Unofficial HV Editor\"" "$name"
        return 1
    fi
    sleep 1
    keys "Unofficial HV Editor" Tab space || return 1 # Option1, then "Roster Stats"
    if ! window "Editing Roster" >/dev/null; then
        shown_windows "$name: the roster editor did not open" "$name"
        return 1
    fi
    sleep 1
    # Where the focus starts depends on when the window is activated, so the keys start from
    # a click in the filter box at the window's top left (the same place in both styles): a
    # name that only one wrestler has, Tab to the list, Down to pick him, Tab past the name
    # box to the draw box, a new draw, and Ctrl+S to apply.
    keys "Editing Roster" || return 1
    xdotool mousemove --window "$(window "Editing Roster")" 30 20 click 1
    sleep 0.5
    keys "Editing Roster" V e x e l Tab Down Tab Tab ctrl+a 8 1 || return 1
    import -window root "$e2e/$name.png"
    keys "Editing Roster" ctrl+s || return 1
    sleep 2
    kill "${pids[-1]}"
}
for side in linux windows; do
    rm -rf "$e2e/editor-$side"
    mkdir -p "$e2e/editor-$side/program" "$e2e/editor-$side/elsewhere"
    cp -r sample/game "$e2e/editor-$side/game"
done
# The Linux editor reads options.dat in its working folder; the Windows one beside itself,
# while it is started from another folder, as Explorer does for an opened file.
(cd "$e2e/editor-linux/program" && printf '%s\r\n' "$PWD/../game" >options.dat &&
    play linux env QT_QPA_PLATFORM=xcb "$linux_editor") || exit 1
cp "$editor_exe" "$e2e/editor-windows/program/"
printf '..\\game\r\n' >"$e2e/editor-windows/program/options.dat"
(cd "$e2e/editor-windows/elsewhere" && play windows env -u QT_QPA_PLATFORM "$wine" \
    ../program/hv-editor.exe) || exit 1
if diff -r sample/game "$e2e/editor-linux/game" >/dev/null; then
    echo "the Linux editor changed nothing; the comparison proves nothing" >&2
    exit 1
fi
if ! diff -r -x point.txt "$e2e/editor-linux/game" "$e2e/editor-windows/game"; then
    echo "hv-editor.exe left other bytes than the Linux editor" >&2
    exit 1
fi
echo "the same change from both editors; the Windows one: $e2e/windows.png"
started=$SECONDS

echo "== the installer under Wine"
bash scripts/package-windows.sh
localappdata=$(timeout 60 "$wine" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
installed=$(timeout 60 "$wine" winepath -u "$localappdata\\Programs\\HV Editor" | tr -d '\r')
menu=$(timeout 60 "$wine" cmd /c echo %APPDATA% | tr -d '\r')
menu=$(timeout 60 "$wine" winepath -u "$menu\\Microsoft\\Windows\\Start Menu\\Programs" | tr -d '\r')
# The ".hve" key's value, empty when there is none (reg says so on stdout).
hve() {
    timeout 60 "$wine" reg query 'HKCU\Software\Classes\.hve' /ve 2>/dev/null | tr -d '\r' |
        grep -v '^reg:' || true
}
rm -rf "$installed"
timeout 120 "$wine" dist/hv-editor-setup.exe /S
for file in hv-editor.exe hv.exe README.txt uninstall.exe; do
    cmp -s "$installed/$file" "dist/hv-windows/$file" || [ "$file" = uninstall.exe ] ||
        { echo "the installer did not put $file in $installed" >&2; exit 1; }
done
[ -f "$installed/uninstall.exe" ] && [ -f "$menu/Unofficial HV Editor.lnk" ] &&
    hve | grep -q HvEditor.Wrestler &&
    timeout 60 "$wine" reg query 'HKCU\Software\Classes\HvEditor.Wrestler\shell\open\command' \
        /ve | grep -qF '\HV Editor\hv-editor.exe" "%1"' ||
    { echo "the installer left out the uninstaller, the Start menu entry or .hve" >&2; exit 1; }
(cd "$e2e" && exec env -u QT_QPA_PLATFORM "$wine" "$installed/hv-editor.exe" >installed.log 2>&1) &
pids+=($!)
if ! window "Unofficial HV Editor" >/dev/null; then
    echo "the installed hv-editor.exe did not start" >&2
    exit 1
fi
kill "${pids[-1]}"
sleep 1
# The uninstaller runs from a copy of itself and returns at once.
timeout 120 "$wine" "$installed/uninstall.exe" /S
left() { [ -e "$installed/hv-editor.exe" ] || [ -e "$menu/Unofficial HV Editor.lnk" ] || [ -n "$(hve)" ]; }
for _ in $(seq 60); do left || break; sleep 0.5; done
if left; then
    echo "the uninstaller left the programs, the Start menu entry or .hve behind" >&2
    exit 1
fi

echo "Windows: Qt ready in $((qt_ready - start)) s, built in $((built - qt_ready)) s, tests" \
    "in $((tested - built)) s, the editors and hv in $((started - tested)) s, the installer" \
    "in $((SECONDS - started)) s; hv-editor.exe is $(stat -c %s "$editor_exe") bytes," \
    "hv.exe $(stat -c %s "$hv_exe") bytes, the installer $(stat -c %s dist/hv-editor-setup.exe)."
