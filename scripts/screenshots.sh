#!/usr/bin/env bash
# Plays the game under Wine on a private X server, from outside as a player would, and saves
# pictures of its windows in docs/screenshots/:
#   main-idle.png      the main window before the first game
#   main-showing.png   a showing, with a box lit
#   main-turn.png      the player's turn
#   main-won.png       a won level ("Bravo. Hai indovinato.")
#   main-lost.png      a lost game ("Peccato. Hai sbagliato.")
#   about.png          the about box over the main window
#   exit-question.png  the exit question
# Usage: scripts/screenshots.sh [build-dir]   (default build/win64, the win64 preset)
# Builds what it needs (the game and tests/tools/ondrel_driver) and installs missing Debian
# packages first. The sequences are random, so the pictures differ from run to run.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"

build="${1:-$root/build/win64}"
# ImageMagick's own package: a "convert" found on the PATH may be something else.
ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" imagemagick

if [ ! -f "$build/CMakeCache.txt" ]; then
    if [ "$(realpath -m "$build")" = "$root/build/win64" ]; then
        (cd "$root" && cmake --preset win64)
    else
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
    fi
fi
cmake --build "$build" -j2 --target Ondrel ondrel_driver desktop_keeper
build="$(cd "$build" && pwd)"

shots="$(mktemp -d)"
trap 'rm -rf "$shots"' EXIT
"$root/scripts/test-env.sh" "$build" -- "$root/scripts/wine-run" \
    "$build/tests/tools/ondrel_driver.exe" shots "Z:${shots//\//\\}"

mkdir -p "$root/docs/screenshots"
for picture in "$shots"/*.bmp; do
    name="$(basename "$picture" .bmp)"
    # -strip: no time stamps in the file, so an unchanged picture stays the same file.
    convert "$picture" -strip "$root/docs/screenshots/$name.png"
    echo "docs/screenshots/$name.png"
done
