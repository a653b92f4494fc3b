# Shared helpers of the scripts (sourced, not run).

# Installs the given Debian packages that are not installed yet (as root, or through sudo).
ensure_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "missing packages: ${missing[*]} (install them; this script knows only apt-get)" >&2
        return 1
    fi
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "missing packages: ${missing[*]} (run as root or install them)" >&2
            return 1
        fi
    fi
    echo "installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" </dev/null
}

# Packages the Windows cross build needs.
BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-x86-64
    binutils-mingw-w64-i686 googletest python3)
# Packages running the program and its tests needs.
RUN_PACKAGES=(wine64 fonts-wine xvfb xauth x11-utils xdotool libasound2)
