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
    binutils-mingw-w64-i686 googletest python3 python3-yaml)
# Packages of the second build, with clang (scripts/build-clang.sh).
CLANG_PACKAGES=(clang lld)
# Packages running the program and its tests needs.
RUN_PACKAGES=(wine64 fonts-wine fonts-liberation2 xvfb xauth x11-utils xdotool libasound2)

# What every Wine prefix of the project holds. Raise the number when the set-up below changes:
# prefixes made by an older set-up are then made anew.
WINE_BENCH_VERSION=2

# Makes (or re-makes) the Wine prefix in $WINEPREFIX so that text is drawn as on Windows, the
# same on every machine:
#   - Wine's own fonts (Tahoma, Marlett for the caption buttons, MS Sans Serif...) in the
#     prefix's Fonts folder, since Wine does not load them from its data folder by itself;
#   - Arial, Times New Roman and Courier New replaced by the metric-compatible Liberation
#     faces, so text has Windows' widths;
#   - grayscale font smoothing, whatever the X server or fontconfig would choose.
# Needs $DISPLAY. Does nothing when the prefix is already of this set-up.
#   make_wine_prefix <wine> <wineserver>
make_wine_prefix() {
    local wine="$1" wineserver="$2"
    local marker="$WINEPREFIX/.ondrel-ready"
    if [ -f "$marker" ] && [ "$(cat "$marker")" = "bench $WINE_BENCH_VERSION" ]; then
        return 0
    fi
    echo "wine prefix: creating $WINEPREFIX" >&2
    "$wineserver" -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1 </dev/null 8>&- 9>&-
    "$wineserver" -w
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/* "$fonts/"
    local settings
    settings="$(mktemp "${TMPDIR:-/tmp}/ondrel-prefix.XXXXXX.reg")"
    # Managed=N: with no window manager, a managed window costs seconds when destroyed and
    # takes keyboard input unreliably. RelayInclude: the functions the relay tests trace.
    # ShowCrashDialog=0: a crashing program ends with a backtrace instead of waiting on a
    # dialog. Browsers, Mailers: web and mail addresses that tests open reach "true".
    cat >"$settings" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Debug]
"RelayInclude"="user32.MessageBeep;shell32.ShellExecuteW;winmm.PlaySoundW;user32.MessageBoxA"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\WineBrowser]
"Browsers"="true"
"Mailers"="true"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
; Not of the same design, but of the same fixed advance within half a percent.
"Lucida Console"="Liberation Mono"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"FontSmoothing"="2"
"FontSmoothingType"=dword:00000001
"FontSmoothingGamma"=dword:00000578
"FontSmoothingOrientation"=dword:00000001
REG
    "$wine" regedit /S "Z:${settings//\//\\}" >/dev/null 2>&1 </dev/null 8>&- 9>&-
    "$wineserver" -w
    rm -f "$settings"
    echo "bench $WINE_BENCH_VERSION" >"$marker"
}

# The build folder of the benchmark scripts (scripts/bench.sh, gdi-leak-check.sh, perf.sh), from
# their arguments: [build-dir] [-- arguments of the benchmarks]. Sets $build to the folder's
# absolute path (build/bench when none is given), configured with the win64 preset when new and
# with the build packages installed, and $bench_args to the arguments after "--".
#   bench_build_dir <root> "$@"; set -- "${bench_args[@]}"
bench_build_dir() {
    local root="$1"
    shift
    build="$root/build/bench"
    if [ $# -gt 0 ] && [ "$1" != "--" ]; then
        build="$1"
        shift
    fi
    if [ $# -gt 0 ] && [ "$1" = "--" ]; then
        shift
    fi
    bench_args=("$@")
    mkdir -p "$build"
    build="$(cd "$build" && pwd)"

    ensure_packages "${BUILD_PACKAGES[@]}"
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake --preset win64 -S "$root" -B "$build" >/dev/null
    fi
}
