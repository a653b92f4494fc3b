#!/usr/bin/env bash
# Builds the framework, the game and the program a second time, with clang and lld targeting
# x86_64-w64-mingw32 (preset clang-win64, warnings as errors), to catch code that only GCC
# accepts. Built only: the tests run on the GCC build. Installs missing Debian packages first.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"
cd "$root"

ensure_packages "${BUILD_PACKAGES[@]}" "${CLANG_PACKAGES[@]}"
cmake --preset clang-win64
cmake --build --preset clang-win64
