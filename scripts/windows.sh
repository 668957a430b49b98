# The Windows build, shared by test-windows.sh and package-windows.sh (sourced): hv.exe,
# hv-editor.exe and every test, cross-built with MinGW-w64 against the static Qt of
# scripts/qt-mingw.sh. Fails, saying why, when that Qt cannot be built.
HV_WIN_BUILD=build-win

hv_windows_configure() {
    local qt
    if ! qt=$(bash scripts/qt-mingw.sh | tail -n 1) || [ ! -d "$qt" ]; then
        echo "Windows: no Qt for MinGW-w64, so no hv-editor.exe; the Windows stage fails" >&2
        return 1
    fi
    cmake -S . -B "$HV_WIN_BUILD" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
        -DHV_QT_MINGW="$qt" -DHV_BUILD_GUI=ON -DHV_WERROR=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
}
