#!/usr/bin/env bash
# Writes dist/hv-windows.zip: hv.exe (cross-built with MinGW-w64, statically linked, so it
# needs no DLL beside it) and a short text for players.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hv_install_deps

build=build-win
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DHV_BUILD_GUI=OFF \
    -DHV_WERROR=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)" --target hv

stage=dist/hv-windows
rm -rf "$stage" dist/hv-windows.zip
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/hv.exe" "$build/cli/hv.exe"
# Notepad of older Windows shows only CR LF line ends.
sed 's/$/\r/' >"$stage/README.txt" <<'TEXT'
hv.exe - the command-line tool of the Unofficial HV Editor
==========================================================

hv.exe reads and changes the files of your Halvorn game folder: the roster of your
federation, trades with the other federations, the save game settings, titles, feuds and
managers, exchange files (.hve) and the HTML roster page.

Where to put it
  Copy hv.exe anywhere, for example into the game folder itself, and open a Command Prompt
  there (in Explorer: type cmd into the address bar and press Enter).

Telling it where the game is
  Either pass the folder with each command:
      hv --game-folder "C:\Games\Halvorn" roster list
  or write it once into options.dat in the folder you work in (the editor's own settings
  file, shared with hv-editor):
      hv game-folder set "C:\Games\Halvorn"

Examples
  hv slots                                  the four save slots
  hv --slot save2 roster list               the wrestlers of slot 2
  hv roster show "Some Name"                every field of one wrestler
  hv roster set "Some Name" draw=80         change fields
  hv injuries heal                          heal every injured wrestler
  hv trade "Some Name" ecw own --years 3    sign a wrestler from ECW
  hv feuds set 2=500                        change a feud's level
  hv report --output roster.html            write the HTML roster page
  hv check                                  look for damaged files
  hv --help                                 every command; hv COMMAND --help for one

Safety
  Close the game before you change its files. Every change is written to a new file first
  and only then put in the place of the old one, so a failed change leaves your files as
  they were; hv tells you which file and why. Still, keep a copy of your game folder.

Exit status: 0 done, 1 refused or problems found, 2 wrong usage.
TEXT
(cd "$stage" && cmake -E tar cf ../hv-windows.zip --format=zip hv.exe README.txt)
echo "dist/hv-windows.zip: $(stat -c %s dist/hv-windows.zip) bytes (hv.exe $(stat -c %s "$stage/hv.exe") bytes)"
