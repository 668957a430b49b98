# Installs what building and testing need, when it is missing (Debian; apt-get as root).
# Sourced by the other scripts.

HV_PACKAGES=(cmake make g++ libgtest-dev qt6-base-dev libgl-dev clang-format fonts-dejavu-core
             git clang libclang-rt-14-dev help2man nlohmann-json3-dev
             wine64 g++-mingw-w64-x86-64-posix googletest
             dpkg-dev nsis xvfb xdotool imagemagick)

hv_missing_packages() {
    local missing=()
    for p in "${HV_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    echo "${missing[@]}"
}

hv_install_deps() {
    local missing
    missing=$(hv_missing_packages "$@")
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
}
