#!/usr/bin/env bash
# Runs a command (usually ctest) in a test environment for one build directory:
#   scripts/test-env.sh <build-dir> -- <command...>
# It starts a private X server (Xvfb, 1024x768x24) on a free display, makes sure the build's
# Wine prefix exists (<build-dir>/wineprefix, made by make_wine_prefix in lib.sh), starts
# Wine's services and a small program that keeps Wine's desktop alive between test processes,
# runs the command, and tears everything down again, also when the command fails or is
# interrupted. Runs for different build directories may go on at the same time; runs for the
# same one wait for each other.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"

if [ $# -lt 3 ] || [ "$2" != "--" ]; then
    echo "usage: $0 <build-dir> -- <command...>" >&2
    exit 2
fi
mkdir -p "$1"
build="$(cd "$1" && pwd)"
shift 2

ensure_packages "${RUN_PACKAGES[@]}"

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
export ONDREL_WINE="$wine"

# One run per build directory at a time.
exec 8>"$build/.test-env.lock"
if ! flock -n 8; then
    echo "test-env: another run uses $build; waiting for it" >&2
    flock 8
fi

state="$(mktemp -d "${TMPDIR:-/tmp}/ondrel-test-env.XXXXXX")"
xvfb_pid=""
keeper_pid=""
teardown() {
    local status=$?
    trap - EXIT INT TERM HUP
    if [ -n "$keeper_pid" ]; then
        kill "$keeper_pid" 2>/dev/null || true
    fi
    if [ -n "${DISPLAY:-}" ]; then
        "$wineserver" -k >/dev/null 2>&1 || true
        "$wineserver" -w >/dev/null 2>&1 || true
    fi
    if [ -n "$keeper_pid" ]; then
        wait "$keeper_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$state"
    exit "$status"
}
trap teardown EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Private X server on the first free display.
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$state/display" \
    >"$state/xvfb.log" 2>&1 8>&- &
xvfb_pid=$!
for _ in $(seq 100); do
    if [ -s "$state/display" ]; then
        break
    fi
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "test-env: Xvfb failed:" >&2
        cat "$state/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done
if [ ! -s "$state/display" ]; then
    echo "test-env: Xvfb did not start" >&2
    exit 1
fi
export DISPLAY=":$(head -n1 "$state/display")"

# The Wine prefix, made once per build directory (and anew when its set-up changed).
make_wine_prefix "$wine" "$wineserver"

# Wine's services and desktop, started once with their output away from the command's pipes,
# and kept up by the keeper until the end.
keeper="$build/tests/desktop_keeper.exe"
if [ -f "$keeper" ]; then
    "$wine" "$keeper" "Z:${state//\//\\}\\keeper-ready" >/dev/null 2>&1 </dev/null 8>&- &
    keeper_pid=$!
    for _ in $(seq 1200); do
        if [ -f "$state/keeper-ready" ] || ! kill -0 "$keeper_pid" 2>/dev/null; then
            break
        fi
        sleep 0.05
    done
    if [ ! -f "$state/keeper-ready" ]; then
        echo "test-env: the desktop keeper did not start; going on without it" >&2
    fi
else
    "$wineserver" -p >/dev/null 2>&1 </dev/null 8>&-
    "$wine" wineboot >/dev/null 2>&1 </dev/null 8>&-
fi

set +e
"$@" 8>&-
status=$?
set -e
exit "$status"
