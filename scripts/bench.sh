#!/usr/bin/env bash
# Builds the benchmarks (tests/benchmarks/*_bench.cpp) and runs each under Wine in the test
# environment, printing their figures. Benchmarks assert nothing; read the figures.
#   scripts/bench.sh [build-dir] [-- arguments passed to every benchmark]
# The build directory defaults to build/bench and is configured with the win64 preset when new.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"

bench_build_dir "$root" "$@"
set -- "${bench_args[@]}"
# The keeper holds Wine's desktop for the test environment.
cmake --build "$build" -j2 --target benchmarks desktop_keeper

"$root/scripts/test-env.sh" "$build" -- bash -c '
    set -u
    wine_run="$1"
    dir="$2"
    shift 2
    status=0
    for program in "$dir"/tests/benchmarks/*_bench.exe; do
        [ -f "$program" ] || continue
        echo "== $(basename "$program" .exe)"
        "$wine_run" "$program" "$@" || status=$?
        echo
    done
    exit "$status"
' bench "$root/scripts/wine-run" "$build" "$@"
