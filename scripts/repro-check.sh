#!/usr/bin/env bash
# Checks that the release packages can be made again with the same bytes:
#   scripts/repro-check.sh [--work <folder>] [<commit>]
# Clones the commit (default: HEAD) twice, into folders of different names and depths under
# the work folder (default: build/repro), and runs scripts/package.sh in each clone, one after
# the other, the second in another time zone and with another umask. Then compares the SHA-256
# of everything that goes out: Ondrel.exe of both word sizes and every file in dist/ (both
# zips, both installers, SHA256SUMS). Prints each file's size and hash; fails with the name of
# the first file that differs, or that only one build made. The clones stay for inspection;
# the first one's dist/ holds the packages of the commit.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$root/build/repro"
commit=HEAD
while [ $# -gt 0 ]; do
    case "$1" in
    --work) work="$2"; shift 2 ;;
    -*) echo "usage: $0 [--work <folder>] [<commit>]" >&2; exit 2 ;;
    *) commit="$1"; shift ;;
    esac
done
commit="$(git -C "$root" rev-parse --verify "$commit^{commit}")"
if [ "$commit" = "$(git -C "$root" rev-parse HEAD)" ] &&
    [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "repro-check: uncommitted changes are left out: this checks commit ${commit:0:12}" >&2
fi

mkdir -p "$work"
work="$(cd "$work" && pwd)"
first="$work/a/Ondrel"
second="$work/b/seconda copia/Ondrel-$commit"

# build <clone folder> <log> <time zone> <umask>
build() {
    local dir="$1" log="$2" zone="$3" mask="$4" start=$SECONDS
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    git clone --quiet --shared --no-checkout "$root" "$dir"
    git -C "$dir" checkout --quiet --detach "$commit"
    echo "repro-check: building in $dir" >&2
    if ! (cd "$dir" && umask "$mask" && TZ="$zone" bash scripts/package.sh) >"$log" 2>&1; then
        echo "repro-check: scripts/package.sh failed in $dir; the end of $log:" >&2
        tail -n 30 "$log" >&2
        return 1
    fi
    echo "repro-check: built in $((SECONDS - start)) s" >&2
}

build "$first" "$work/a.log" UTC 022
build "$second" "$work/b.log" Pacific/Kiritimati 077

files=(build/release-win64/Ondrel.exe build/release-win32/Ondrel.exe)
while IFS= read -r file; do
    files+=("$file")
done < <( (cd "$first" && find dist -type f; cd "$second" && find dist -type f) | sort -u)

echo
printf '%-40s %9s  %s\n' file bytes sha256
status=0
for file in "${files[@]}"; do
    if [ ! -f "$first/$file" ] || [ ! -f "$second/$file" ]; then
        echo "repro-check: FAIL: $file was made by one build only" >&2
        status=1
        break
    fi
    a="$(sha256sum <"$first/$file" | cut -d' ' -f1)"
    b="$(sha256sum <"$second/$file" | cut -d' ' -f1)"
    printf '%-40s %9s  %s\n' "$file" "$(stat -c %s "$first/$file")" "$a"
    if [ "$a" != "$b" ]; then
        printf '%-40s %9s  %s (second build)\n' "" "$(stat -c %s "$second/$file")" "$b"
        echo "repro-check: FAIL: $file differs between the two builds" >&2
        status=1
        break
    fi
done
if [ "$status" -eq 0 ]; then
    echo "repro-check: the two builds of ${commit:0:12} are byte-identical (${#files[@]} files)"
fi
exit "$status"
