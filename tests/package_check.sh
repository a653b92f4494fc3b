#!/usr/bin/env bash
# Checks the programs that go out to players:
#   tests/package_check.sh --version 1.1.0.0 --root <source dir> [Ondrel.exe...]
# Each program given, the 32-bit build's (<root>/build/win32/Ondrel.exe) when there is one, and
# the program in each release package <root>/dist/Ondrel-<version>-win64.zip / -win32.zip that
# is there must be a Windows GUI program of the right machine that imports system DLLs only (no
# MinGW runtime DLL beside it) and carries the program's icon group (IDI_ONDREL of
# <root>/resources/resource.h), the version record (<version>,
# ProductName Ondrel) and the manifest asking for asInvoker. A zip must hold its program and
# LEGGIMI.txt in one folder named after it, and nothing else. Beside each zip lies its installer
# Ondrel-<version>-win64-setup.exe / -win32-setup.exe: a Windows GUI program of the same machine
# with an icon, the version record and the manifest asking for asInvoker (what it installs is
# tested under Wine by tests/installer_test.sh). When dist/ holds packages, dist/SHA256SUMS
# lists exactly those of the version, with their right SHA-256.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
version=""
root="$(cd "$here/.." && pwd)"
programs=()
while [ $# -gt 0 ]; do
    case "$1" in
    --version) version="$2"; shift 2 ;;
    --root) root="$2"; shift 2 ;;
    *) programs+=("$1"); shift ;;
    esac
done
if [ -z "$version" ]; then
    echo "usage: $0 --version <x.y.z.w> [--root <source dir>] [Ondrel.exe...]" >&2
    exit 2
fi
pe_resources="$here/../scripts/pe_resources.py"
python="${PYTHON:-python3}"
icon_group="$(sed -n 's/^#define IDI_ONDREL \([0-9][0-9]*\)$/\1/p' "$root/resources/resource.h")"
if [ -z "$icon_group" ]; then
    echo "no IDI_ONDREL in $root/resources/resource.h" >&2
    exit 2
fi

failures=0
checked=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# check_program <file> <label> [x64|x86]
check_program() {
    local file="$1" label="$2" machine="${3:-}" objdump dlls dll
    if [ -z "$machine" ]; then
        machine="$("$python" "$pe_resources" show "$file" | sed -n '1s/^machine: \([^,]*\),.*/\1/p')"
    fi
    case "$machine" in
    x64) objdump=x86_64-w64-mingw32-objdump ;;
    x86) objdump=i686-w64-mingw32-objdump ;;
    *) fail "$label: not a Windows program of a known machine ($machine)"; return ;;
    esac
    checked=$((checked + 1))
    echo "$label ($machine, $(stat -c %s "$file") bytes)"

    dlls="$("$objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')"
    if ! grep -qix 'kernel32.dll' <<<"$dlls"; then
        fail "$label: no imports read (objdump failed?)"
    fi
    while IFS= read -r dll; do
        [ -n "$dll" ] || continue
        case "${dll,,}" in
        kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | shell32.dll | winmm.dll | \
            msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll)
            echo "  imports $dll" ;;
        *) fail "$label: imports $dll, which is not a system DLL" ;;
        esac
    done <<<"$dlls"

    if "$python" "$pe_resources" check "$file" --machine "$machine" --version "$version" \
        --product Ondrel --icon-group "$icon_group"; then
        echo "  icon group $icon_group, version $version, ProductName Ondrel, manifest asInvoker"
    else
        fail "$label: resources"
    fi
}

for program in "${programs[@]}"; do
    if [ -f "$program" ]; then
        check_program "$program" "$program"
    else
        fail "$program is missing"
    fi
done

if [ -f "$root/build/win32/Ondrel.exe" ]; then
    check_program "$root/build/win32/Ondrel.exe" "build/win32/Ondrel.exe" x86
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for bits in 64 32; do
    name="Ondrel-$version-win$bits"
    zip="$root/dist/$name.zip"
    [ -f "$zip" ] || continue
    contents="$("$python" -c '
import sys, zipfile
for info in zipfile.ZipFile(sys.argv[1]).infolist():
    if not info.is_dir():
        print(info.filename)
' "$zip" | sort)"
    expected="$(printf '%s\n' "$name/LEGGIMI.txt" "$name/Ondrel.exe")"
    if [ "$contents" != "$expected" ]; then
        fail "dist/$name.zip holds: $(tr '\n' ' ' <<<"$contents")"
    fi
    "$python" -m zipfile -e "$zip" "$scratch/$bits"
    if [ -f "$scratch/$bits/$name/Ondrel.exe" ]; then
        machine=x64
        [ "$bits" = 32 ] && machine=x86
        check_program "$scratch/$bits/$name/Ondrel.exe" "dist/$name.zip: Ondrel.exe" "$machine"
    fi
done

# check_installer <file> <label> x64|x86
check_installer() {
    local file="$1" label="$2" machine="$3"
    checked=$((checked + 1))
    echo "$label ($machine, $(stat -c %s "$file") bytes)"
    # NSIS gives the installer's icon group the number 103.
    if "$python" "$pe_resources" check "$file" --machine "$machine" --version "$version" \
        --product Ondrel --icon-group 103; then
        echo "  icon group 103, version $version, ProductName Ondrel, manifest asInvoker"
    else
        fail "$label: resources"
    fi
}

packages=()
for bits in 64 32; do
    name="Ondrel-$version-win$bits"
    machine=x64
    [ "$bits" = 32 ] && machine=x86
    if [ -f "$root/dist/$name.zip" ]; then
        packages+=("$name.zip")
    fi
    if [ -f "$root/dist/$name-setup.exe" ]; then
        packages+=("$name-setup.exe")
        check_installer "$root/dist/$name-setup.exe" "dist/$name-setup.exe" "$machine"
    elif [ -f "$root/dist/$name.zip" ]; then
        fail "dist/$name.zip has no installer beside it (dist/$name-setup.exe)"
    fi
done

if [ "${#packages[@]}" -gt 0 ]; then
    sums="$root/dist/SHA256SUMS"
    if [ ! -f "$sums" ]; then
        fail "dist/ holds packages but no SHA256SUMS"
    else
        listed="$(sed 's/^[0-9a-f]\{64\}  //' "$sums" | sort)"
        expected="$(printf '%s\n' "${packages[@]}" | sort)"
        if [ "$listed" != "$expected" ]; then
            fail "dist/SHA256SUMS lists: $(tr '\n' ' ' <<<"$listed")"
        fi
        if (cd "$root/dist" && sha256sum --quiet -c SHA256SUMS); then
            echo "dist/SHA256SUMS: ${#packages[@]} package(s), every SHA-256 right"
        else
            fail "dist/SHA256SUMS does not match the packages"
        fi
    fi
fi

if [ "$checked" -eq 0 ]; then
    fail "no program to check"
fi
if [ "$failures" -gt 0 ]; then
    echo "$failures problem(s)" >&2
    exit 1
fi
echo "$checked program(s) checked"
