#!/usr/bin/env bash
# Runs tests/benchmarks/gdi_churn_bench under Wine with its GDI trace on and prints, for each
# phase of the benchmark, the number of live GDI objects of the process before and after the
# phase. A phase that leaves objects behind shows a positive growth; the last phase leaks on
# purpose, to show that the method sees it.
#   scripts/gdi-leak-check.sh [build-dir] [-- arguments of the benchmark]
# The build directory defaults to build/bench and is configured with the win64 preset when new.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"

bench_build_dir "$root" "$@"
set -- "${bench_args[@]}"
cmake --build "$build" -j2 --target gdi_churn_bench desktop_keeper

trace="$(mktemp "${TMPDIR:-/tmp}/gdi-leak-check.XXXXXX")"
trap 'rm -f "$trace"' EXIT

# The trace goes to stderr with the benchmark's markers; the figures to stdout.
"$root/scripts/test-env.sh" "$build" -- bash -c '
    export WINEDEBUG=-all,+gdi
    export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
    program="$1"
    trace="$2"
    shift 2
    "$ONDREL_WINE" "$program" "$@" 2>"$trace"
' check "$build/tests/benchmarks/gdi_churn_bench.exe" "$trace" "$@"

# "allocated <type> <handle> N/65536" gives the live count after the allocation;
# "freed <type> <handle> N/65536" gives it before the release.
awk '
    /:alloc_gdi_handle allocated / { split($NF, c, "/"); live = c[1] + 0; next }
    /:free_gdi_handle freed /      { split($NF, c, "/"); live = c[1] - 1; next }
    /^GDI-CHURN begin / { name = substr($0, 17); before[name] = live; order[++n] = name; next }
    /^GDI-CHURN end /   { name = substr($0, 15); after[name] = live; next }
    END {
        if (n == 0) {
            print "no phases found: did the benchmark run?" > "/dev/stderr"
            exit 1
        }
        printf "\n%-36s %8s %8s %8s\n", "phase", "before", "after", "growth"
        for (i = 1; i <= n; ++i) {
            name = order[i]
            printf "%-36s %8d %8d %+8d\n", name, before[name], after[name], after[name] - before[name]
        }
    }
' "$trace"
