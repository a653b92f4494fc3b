#!/usr/bin/env bash
# Runs a benchmark under Wine with its GDI trace on and prints the live GDI object count at each
# "ONDREL-MARK <name>" line that the program writes to stderr, then the growth between the
# first and the last marker. Build the benchmark first (cmake --build <build-dir> --target
# cell_paint_churn_bench), then run it inside the test environment of that build:
#   scripts/test-env.sh <build-dir> -- tests/benchmarks/gdi_live_count.sh \
#       <build-dir>/tests/benchmarks/cell_paint_churn_bench.exe [arguments]
set -euo pipefail

program="${1:?usage: gdi_live_count.sh program.exe [arguments]}"
shift
wine="${ONDREL_WINE:-/usr/lib/wine/wine64}"

# Wine writes "allocated <type> <handle> <live>/<limit>" and "freed ..." lines for every GDI
# object; the last figure seen before a marker is the live count at that moment.
# The program's own output goes straight through; only the trace is read.
{ WINEDEBUG=+gdi "$wine" "$program" "$@" 2>&1 1>&3 3>&- |
    awk '
        /(allocated|freed) .* [0-9]+\/[0-9]+/ {
            for (i = NF; i > 0; --i) {
                if ($i ~ /^[0-9]+\/[0-9]+$/) {
                    split($i, parts, "/");
                    live = parts[1];
                    break;
                }
            }
            next;
        }
        /^ONDREL-MARK / {
            print "live GDI objects at " $2 ": " live;
            if (first == "") first = live;
            last = live;
            next;
        }
        END {
            if (first != "") print "growth between the first and the last marker: " (last - first);
        }'; } 3>&1
