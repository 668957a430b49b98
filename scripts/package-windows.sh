#!/usr/bin/env bash
# Writes the downloads for players: dist/hv-windows.zip (hv-editor.exe, hv.exe and a short
# text; cross-built with MinGW-w64 and linked statically, Qt included, so no DLL goes beside
# them) and dist/hv-editor-setup.exe, the installer made with NSIS (scripts/hv-editor-setup.nsi).
# Builds the static Qt first when scripts/qt-mingw.sh has none cached.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
hv_install_deps
source scripts/windows.sh

build=$HV_WIN_BUILD
hv_windows_configure
cmake --build "$build" -j"$(nproc)" --target hv hv-editor

stage=dist/hv-windows
rm -rf "$stage" dist/hv-windows.zip
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/hv.exe" "$build/cli/hv.exe"
x86_64-w64-mingw32-strip -o "$stage/hv-editor.exe" "$build/app/hv-editor.exe"
# Notepad of older Windows shows only CR LF line ends.
sed 's/$/\r/' >"$stage/README.txt" <<'TEXT'
Unofficial HV Editor
====================

hv-editor.exe and hv.exe read and change the files of your Halvorn game folder: the roster
of your federation, trades with the other federations, the save game settings, titles, feuds
and managers, exchange files (.hve) and the HTML roster page. hv-editor.exe is the editor
with its windows; hv.exe does the same from the Command Prompt.

Where to put them
  Keep both in one folder you may write to, for example a folder of their own beside the game
  (hv-editor-setup.exe installs them into your user's AppData\Local\Programs\HV Editor).
  Both keep their settings in options.dat in that folder; when the folder is read-only (under
  "Program Files"), in AppData\Roaming\Unofficial HV Editor instead.

Telling them where the game is
  Start hv-editor.exe: when it does not know the game folder yet, it says "Path is
  incorrect." and opens the folder chooser; move to the game folder there. For hv.exe, either
  pass the folder with each command:
      hv --game-folder "C:\Games\Halvorn" roster list
  or write it once into options.dat (the same file the editor uses):
      hv game-folder set "C:\Games\Halvorn"
  Other file names on hv's command line count from the folder you work in.

Examples of hv.exe in a Command Prompt
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
  they were; you are told which file and why. Still, keep a copy of your game folder.

Exit status of hv.exe: 0 done, 1 refused or problems found, 2 wrong usage.
TEXT
(cd "$stage" && cmake -E tar cf ../hv-windows.zip --format=zip hv-editor.exe hv.exe README.txt)

version=$(sed -n 's/^project(HvEditor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
rm -f dist/hv-editor-setup.exe
makensis -V2 -DSTAGE="$PWD/$stage" -DVERSION="$version" -DOUTFILE="$PWD/dist/hv-editor-setup.exe" \
    scripts/hv-editor-setup.nsi
size() { stat -c %s "$1"; }
echo "dist/hv-windows.zip: $(size dist/hv-windows.zip) bytes (hv-editor.exe" \
    "$(size "$stage/hv-editor.exe"), hv.exe $(size "$stage/hv.exe") bytes);" \
    "dist/hv-editor-setup.exe: $(size dist/hv-editor-setup.exe) bytes"
