#!/usr/bin/env bash
# Builds Ondrel (64-bit, preset win64) and starts it under Wine. With $DISPLAY set the game
# opens on that display; without one it runs on a private X server (Xvfb), invisible, until
# it is closed or interrupted. Installs missing Debian packages first.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"
cd "$root"

packages=("${BUILD_PACKAGES[@]}" wine64 fonts-wine fonts-liberation2)
if [ -z "${DISPLAY:-}" ]; then
    packages+=(xvfb xauth)
fi
ensure_packages "${packages[@]}"

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Ondrel

wine=/usr/lib/wine/wine64
# A prefix of its own in the build tree: the user's ~/.wine stays untouched.
export WINEPREFIX="$root/build/win64/wineprefix-play"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG="${WINEDEBUG:--all}"

xvfb_pid=""
cleanup() {
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
    fi
}
if [ -z "${DISPLAY:-}" ]; then
    display_file="$(mktemp)"
    Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$display_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$display_file")"
    rm -f "$display_file"
    trap cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    echo "No display: Ondrel runs on the private X server $DISPLAY (Ctrl-C ends it)."
fi

make_wine_prefix "$wine" /usr/lib/wine/wineserver

"$wine" "$root/build/win64/Ondrel.exe"
