#!/usr/bin/env bash
# Builds Ondrel (64-bit, preset win64) and runs its whole test suite under Wine on a private
# X server. Installs missing Debian packages first (as root, or through sudo).
# Extra arguments go to ctest, e.g.  scripts/test.sh -R Resources
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"
cd "$root"

ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"

cmake --preset win64
cmake --build --preset win64
# A test process that Wine fails to start now and then is run once more; a test that fails
# twice fails the run.
scripts/test-env.sh build/win64 -- \
    ctest --test-dir build/win64 -j2 --output-on-failure --repeat until-pass:2 "$@"
