#!/usr/bin/env bash
# Prints the performance table of the game beside a bare Win32 window program built and linked
# the same way (tests/benchmarks/bare_window.cpp):
#   - time from process start to the main window's first paint, and processor time while idle
#     and while levels are won (tests/benchmarks/perf_table_bench, measuring the real Ondrel.exe
#     from outside its process);
#   - GDI objects alive after 1 and after 20 won levels, and after 1 and 300 about box openings
#     (tests/benchmarks/level_gdi_bench under Wine's GDI trace, as scripts/gdi-leak-check.sh);
#   - the size of each Ondrel.exe found (this build, build/win64, build/win32) and of the bare
#     program (64-bit from this build, 32-bit compiled here with the same flags).
# Goals: idle under 1 % of a core, the one-second wait under 2 % of its second, start within
# 1.3 times the bare program, no GDI growth. Nothing is asserted: read the figures.
#   scripts/perf.sh [build-dir] [-- idle-seconds startup-runs levels]
# The build directory defaults to build/bench and is configured with the win64 preset when new.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"

bench_build_dir "$root" "$@"
set -- "${bench_args[@]}"
cmake --build "$build" -j2 --target Ondrel bare_window bare_window_imports perf_table_bench \
    level_gdi_bench desktop_keeper >/dev/null

work="$(mktemp -d "${TMPDIR:-/tmp}/ondrel-perf.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# The 32-bit bare program, compiled and linked as the build does it (Release flags, static
# runtime, stripped), when the 32-bit compiler is there.
bare32=""
if command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1; then
    if i686-w64-mingw32-g++-posix -std=c++17 -O3 -DNDEBUG -DUNICODE -D_UNICODE -Wall -Wextra \
        -Werror -mwindows -static -static-libgcc -static-libstdc++ -s \
        "$root/tests/benchmarks/bare_window.cpp" -o "$work/bare_window32.exe" -luser32 -lgdi32; then
        bare32="$work/bare_window32.exe"
    fi
fi

benches="$build/tests/benchmarks"
echo "== load of the machine while measuring: $(cut -d' ' -f1-3 /proc/loadavg) ($(nproc) cores)"
echo
"$root/scripts/test-env.sh" "$build" -- bash -c '
    set -u
    benches="$1"
    work="$2"
    shift 2
    "$ONDREL_WINE" "$benches/perf_table_bench.exe" "$@" >"$work/table.txt" 2>"$work/table.err"
    WINEDEBUG=-all,+gdi "$ONDREL_WINE" "$benches/level_gdi_bench.exe" \
        >"$work/gdi.out" 2>"$work/gdi.trace"
    true
' perf "$benches" "$work" "$@"

cat "$work/table.txt"
if [ -s "$work/table.err" ]; then
    sed 's/^/  (perf_table_bench) /' "$work/table.err"
fi

# "allocated <type> <handle> N/65536" gives the live count after the allocation;
# "freed <type> <handle> N/65536" gives it before the release; "invalid handle" is a GDI call on
# a handle already released (or never made). The program's own lines end in CR LF.
awk '
    { sub(/\r$/, "") }
    /:handle_entry invalid handle/ { ++invalid; next }
    /:alloc_gdi_handle allocated / { split($NF, c, "/"); live = c[1] + 0; next }
    /:free_gdi_handle freed /      { split($NF, c, "/"); live = c[1] - 1; next }
    /^ONDREL-MARK / { at[$2] = live; seen[$2] = 1; next }
    function row(label, value, goal) { printf "%-50s %12s %12s %10s  %s\n", label, value, "", "", goal }
    END {
        if (!("start" in seen)) {
            print "GDI count: no markers found; did level_gdi_bench run?"
            exit
        }
        row("GDI objects alive before the main form is made", at["before"], "")
        row("GDI objects alive once it shows", at["start"], "")
        levels = ""
        for (name in seen) {
            if (name ~ /^level-/ && name != "level-1") levels = name
        }
        row("GDI objects alive after 1 level won", at["level-1"], "")
        if (levels != "") {
            n = substr(levels, 7)
            row("GDI objects alive after " n " levels won", at[levels], "")
            row("  growth from level 1 to level " n, sprintf("%+d", at[levels] - at["level-1"]), "zero")
        }
        openings = ""
        for (name in seen) {
            if (name ~ /^about-/ && name != "about-1") openings = name
        }
        row("GDI objects alive after 1 about box opening", at["about-1"], "")
        if (openings != "") {
            n = substr(openings, 7)
            row("GDI objects alive after " n " about box openings", at[openings], "")
            row("  growth from opening 1 to opening " n, sprintf("%+d", at[openings] - at["about-1"]), "zero")
        }
        row("GDI objects alive after the main form is deleted", at["end"], "")
        row("  left over from the whole run", sprintf("%+d", at["end"] - at["before"]), "")
        row("GDI calls on released or unknown handles", invalid + 0, "zero")
    }
' "$work/gdi.trace"
sed 's/^/  (level_gdi_bench) /' "$work/gdi.out"

size_row() {
    local label="$1" game="$2" bare="$3"
    local g="n/a" b="n/a" ratio=""
    if [ -f "$game" ]; then g="$(( $(stat -c %s "$game") / 1024 )) KiB"; fi
    if [ -n "$bare" ] && [ -f "$bare" ]; then b="$(( $(stat -c %s "$bare") / 1024 )) KiB"; fi
    if [ -f "$game" ] && [ -n "$bare" ] && [ -f "$bare" ]; then
        ratio="$(awk -v a="$(stat -c %s "$game")" -v b="$(stat -c %s "$bare")" \
            'BEGIN { printf "%.1fx", a / b }')"
    fi
    printf "%-50s %12s %12s %10s  %s\n" "$label" "$g" "$b" "$ratio" ""
}
size_row "size, 64-bit, this build ($(basename "$build"))" "$build/Ondrel.exe" \
    "$benches/bare_window.exe"
if [ -f "$root/build/win64/Ondrel.exe" ] && [ "$build" != "$root/build/win64" ]; then
    size_row "size, 64-bit, build/win64" "$root/build/win64/Ondrel.exe" "$benches/bare_window.exe"
fi
if [ -f "$root/build/win32/Ondrel.exe" ]; then
    size_row "size, 32-bit, build/win32" "$root/build/win32/Ondrel.exe" "$bare32"
elif [ -n "$bare32" ]; then
    size_row "size, 32-bit (no build/win32 yet)" "" "$bare32"
fi
