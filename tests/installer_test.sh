#!/usr/bin/env bash
# Tests the 64-bit installer under Wine, in a Wine prefix of its own, made afresh for the run:
#   tests/installer_test.sh [--dist <folder>] [--driver <ondrel_driver.exe>] [--work <folder>]
# --dist     the folder with Ondrel-<version>-win64-setup.exe and Ondrel-<version>-win64.zip
#            (default: dist), written by scripts/package.sh; the zip gives the expected files
# --driver   tests/tools/ondrel_driver.exe of a win64 build (default: build/win64's), which
#            starts the installed game and quits it with Alt+F4 and Yes
# --work     scratch folder for the prefix and a private home (default: build/installer-test),
#            emptied first and removed when the test passes
# In order: silent install into the default folder, its files, Start-menu shortcut and
# uninstall entry; the installed game started and quit; silent uninstall, after which nothing
# is left; install into a custom folder with the desktop shortcut; an install while the game
# runs, which must change nothing, and an uninstall then, which must remove nothing; a
# reinstall over the existing install; a reinstall into
# another folder; the uninstall, which keeps a file the user added. Runs the checks in the
# environment of scripts/test-env.sh (private X server) with HOME moved into the scratch folder,
# so that Wine's desktop and menu folders stay out of the real home.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [ "${1:-}" != "--inside" ]; then
    set -e
    dist="$root/dist"
    driver="$root/build/win64/tests/tools/ondrel_driver.exe"
    work="$root/build/installer-test"
    while [ $# -gt 0 ]; do
        case "$1" in
        --dist) dist="$2"; shift 2 ;;
        --driver) driver="$2"; shift 2 ;;
        --work) work="$2"; shift 2 ;;
        *) echo "usage: $0 [--dist <folder>] [--driver <ondrel_driver.exe>] [--work <folder>]" >&2
           exit 2 ;;
        esac
    done
    shopt -s nullglob
    setups=("$dist"/Ondrel-*-win64-setup.exe)
    if [ "${#setups[@]}" -ne 1 ]; then
        echo "installer-test: expected one Ondrel-<version>-win64-setup.exe in $dist" \
            "(run scripts/package.sh), found ${#setups[@]}" >&2
        exit 1
    fi
    if [ ! -f "$driver" ]; then
        echo "installer-test: no $driver (cmake --build build/win64 --target ondrel_driver)" >&2
        exit 1
    fi
    setup="$(cd "$(dirname "${setups[0]}")" && pwd)/$(basename "${setups[0]}")"
    driver="$(cd "$(dirname "$driver")" && pwd)/$(basename "$driver")"
    rm -rf "$work"
    mkdir -p "$work/home"
    work="$(cd "$work" && pwd)"
    set +e
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_DESKTOP_DIR HOME="$work/home" \
        bash "$root/scripts/test-env.sh" "$work" -- \
        bash "${BASH_SOURCE[0]}" --inside "$setup" "$driver" "$work"
    status=$?
    set -e
    if [ "$status" -eq 0 ]; then
        rm -rf "$work"
    else
        echo "installer-test: the prefix is kept in $work" >&2
    fi
    exit "$status"
fi

# Inside the test environment: WINEPREFIX, DISPLAY and ONDREL_WINE are set.
setup="$2"
driver="$3"
work="$4"
wine="$ONDREL_WINE"
# No menu entries of the host's desktop for the shortcuts.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ondrel'
version="$(basename "$setup")"
version="${version#Ondrel-}"
version="${version%-win64-setup.exe}"
started=$SECONDS

checks=0
failures=0
pass() {
    checks=$((checks + 1))
    echo "ok: $*"
}
fail() {
    checks=$((checks + 1))
    failures=$((failures + 1))
    echo "FAIL: $*"
}
step() {
    echo
    echo "== $* ($((SECONDS - started)) s)"
}

# Windows paths of the prefix, and their places on this side.
win_env() {
    "$wine" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'
}
unix_path() {
    "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'
}
windows_path() {
    "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'
}

# The uninstall entry's values, read into the array reg (empty when the key is missing).
declare -A reg
read_entry() {
    local line name value
    reg=()
    while IFS= read -r line; do
        line="${line%$'\r'}"
        if [[ "$line" =~ ^\ {4}([^ ]+)\ {4}(REG_[A-Z_]+)\ {4}(.*)$ ]]; then
            name="${BASH_REMATCH[1]}"
            value="${BASH_REMATCH[3]}"
            reg["$name"]="$value"
        fi
    done < <("$wine" reg query "$key" 2>/dev/null)
}
expect_value() {
    local name="$1" expected="$2"
    if [ "${reg[$name]-<missing>}" = "$expected" ]; then
        pass "$name = $expected"
    else
        fail "$name is '${reg[$name]-<missing>}', expected '$expected'"
    fi
}

# A shortcut whose target is the given Windows path.
expect_shortcut() {
    local link="$1" target="$2" what="$3"
    if [ ! -f "$link" ]; then
        fail "$what: no shortcut $link"
    elif python3 - "$link" "$target" <<'PY'; then
import sys
data = open(sys.argv[1], "rb").read().lower()
target = sys.argv[2].lower()
sys.exit(0 if target.encode("cp1252") + b"\0" in data
         or target.encode("utf-16-le") + b"\0\0" in data else 1)
PY
        pass "$what points to $target"
    else
        fail "$what does not point to $target"
    fi
}
expect_gone() {
    if [ -e "$1" ]; then
        fail "$2 is still there"
    else
        pass "$2 is gone"
    fi
}

# Exactly the installed files, the program and read-me equal to the package's.
expect_installed() {
    local dir="$1" listing expected names=(LEGGIMI.txt Ondrel.exe uninstall.exe)
    if [ -n "${2:-}" ]; then
        names+=("$2")
    fi
    listing="$(cd "$dir" 2>/dev/null && ls -A | sort | tr '\n' ' ')"
    expected="$(printf '%s\n' "${names[@]}" | sort | tr '\n' ' ')"
    if [ "$listing" = "$expected" ]; then
        pass "the folder holds $listing"
    else
        fail "the folder holds '$listing', expected '$expected'"
    fi
    for file in Ondrel.exe LEGGIMI.txt; do
        if cmp -s "$dir/$file" "$work/expected/$file"; then
            pass "$file is the package's"
        else
            fail "$file differs from the package's"
        fi
    done
}

# The uninstall entry of an install in the Windows folder $1 (unix folder $2).
expect_entry() {
    local folder="$1" dir="$2" bytes=0 file
    read_entry
    expect_value DisplayName Ondrel
    expect_value DisplayVersion "$version"
    if [ -n "${reg[Publisher]-}" ]; then
        pass "Publisher = ${reg[Publisher]}"
    else
        fail "no Publisher"
    fi
    expect_value DisplayIcon "$folder\\Ondrel.exe,0"
    expect_value InstallLocation "$folder"
    expect_value UninstallString "\"$folder\\uninstall.exe\""
    expect_value QuietUninstallString "\"$folder\\uninstall.exe\" /S"
    for file in Ondrel.exe LEGGIMI.txt uninstall.exe; do
        bytes=$((bytes + $(stat -c %s "$dir/$file" 2>/dev/null || echo 0)))
    done
    expect_value EstimatedSize "$(printf '0x%x' $(((bytes + 1023) / 1024)))"
    expect_value NoModify 0x1
    expect_value NoRepair 0x1
}

# Runs the installer with the arguments in $2, through cmd: "/D=<folder>" must reach it as it
# is, without the quotes Wine would put around an argument with spaces. $1 is the exit code
# expected.
install() {
    local expected="$1" arguments="$2" code
    "$wine" cmd /c "$setup_windows $arguments" >/dev/null 2>&1 </dev/null
    code=$?
    if [ "$code" -eq "$expected" ]; then
        pass "the installer ($arguments) ended with $code"
    else
        fail "the installer ($arguments) ended with $code, expected $expected"
    fi
}

# Runs the entry's QuietUninstallString, as Windows does. The uninstaller goes on in a copy of
# itself and returns at once: waits until the entry or its uninstall.exe is gone.
uninstall() {
    local dir="$1" command program code
    read_entry
    command="${reg[QuietUninstallString]-}"
    if [[ ! "$command" =~ ^\"([^\"]+)\"\ /S$ ]]; then
        fail "no quiet uninstall command ('$command')"
        return
    fi
    program="${BASH_REMATCH[1]}"
    "$wine" "$program" /S >/dev/null 2>&1 </dev/null
    code=$?
    if [ "$code" -eq 0 ]; then
        pass "the uninstaller ended with 0"
    else
        fail "the uninstaller ended with $code"
    fi
    for _ in $(seq 300); do
        if [ ! -e "$dir/uninstall.exe" ] && ! "$wine" reg query "$key" >/dev/null 2>&1; then
            break
        fi
        sleep 0.1
    done
}

expect_no_entry() {
    if "$wine" reg query "$key" >/dev/null 2>&1; then
        fail "the uninstall entry is still there"
    else
        pass "the uninstall entry is gone"
    fi
}

# Starts the installed game, closes it with Alt+F4 and Yes; extra arguments are run meanwhile.
play_and_quit() {
    local program="$1" output code
    shift
    output="$("$wine" "$driver" quit "$program" "$@" 2>/dev/null </dev/null | tr -d '\r')"
    code=$?
    sed 's/^/  driver: /' <<<"$output"
    if [ "$code" -eq 0 ]; then
        pass "the installed game opened its main window and ended with 0 after Alt+F4 and Yes"
    else
        fail "the installed game did not run and quit as expected (driver: $code)"
    fi
    driver_output="$output"
}

mkdir -p "$work/expected"
python3 - "$(dirname "$setup")/Ondrel-$version-win64.zip" "$work/expected" <<'PY' || exit 1
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as package:
    for info in package.infolist():
        name = os.path.basename(info.filename)
        if name in ("Ondrel.exe", "LEGGIMI.txt"):
            with open(os.path.join(sys.argv[2], name), "wb") as out:
                out.write(package.read(info))
PY

echo "installer: $setup (version $version)"
local_app_data="$(win_env LOCALAPPDATA)"
app_data="$(win_env APPDATA)"
profile="$(win_env USERPROFILE)"
default_folder="$local_app_data\\Programs\\Ondrel"
default_dir="$(unix_path "$default_folder")"
start_link="$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs")/Ondrel.lnk"
desktop_link="$(unix_path "$profile\\Desktop")/Ondrel.lnk"
custom_folder='C:\Giochi\Ondrel di prova'
custom_dir="$(unix_path "$custom_folder")"
setup_windows="$(windows_path "$setup")"
if [ -z "$local_app_data" ] || [ -z "$default_dir" ] || [ -z "$setup_windows" ]; then
    echo "installer-test: cannot read the prefix's folders" >&2
    exit 1
fi

step "silent install into $default_folder"
install 0 /S
expect_installed "$default_dir"
expect_shortcut "$start_link" "$default_folder\\Ondrel.exe" "the Start-menu shortcut Ondrel"
if [ -e "$desktop_link" ]; then
    fail "a desktop shortcut without asking for one"
else
    pass "no desktop shortcut (off by default)"
fi
expect_entry "$default_folder" "$default_dir"

step "the installed game"
play_and_quit "$default_folder\\Ondrel.exe"

step "silent uninstall"
uninstall "$default_dir"
expect_gone "$default_dir" "the folder $default_folder"
expect_gone "$start_link" "the Start-menu shortcut"
expect_no_entry

step "silent install into $custom_folder, with the desktop shortcut"
install 0 "/S /DESKTOP /D=$custom_folder"
expect_installed "$custom_dir"
expect_gone "$default_dir" "the default folder"
expect_shortcut "$start_link" "$custom_folder\\Ondrel.exe" "the Start-menu shortcut"
expect_shortcut "$desktop_link" "$custom_folder\\Ondrel.exe" "the desktop shortcut"
expect_entry "$custom_folder" "$custom_dir"

step "install while the game runs"
# An older install: another read-me and version; a refused install must leave both.
printf 'vecchia copia\r\n' >>"$custom_dir/LEGGIMI.txt"
"$wine" reg add "$key" /v DisplayVersion /d 0.9 /f >/dev/null 2>&1
play_and_quit "$custom_folder\\Ondrel.exe" "$setup_windows" /S
if grep -q "ended with [1-9]" <<<"$driver_output"; then
    pass "the silent install refused to go on while the game ran"
else
    fail "the silent install did not stop while the game ran"
fi
if tail -c 15 "$custom_dir/LEGGIMI.txt" | grep -q 'vecchia copia'; then
    pass "the refused install left the read-me as it was"
else
    fail "the refused install changed the read-me"
fi
read_entry
expect_value DisplayVersion 0.9
expect_gone "$custom_dir/Ondrel.exe.new" "a half-installed Ondrel.exe.new"
if cmp -s "$custom_dir/Ondrel.exe" "$work/expected/Ondrel.exe"; then
    pass "Ondrel.exe is whole"
else
    fail "Ondrel.exe was changed"
fi

step "uninstall while the game runs"
# In place (_?=), so that the uninstaller's own exit code comes back.
play_and_quit "$custom_folder\\Ondrel.exe" "$custom_folder\\uninstall.exe" /S "_?=$custom_folder"
if grep -q "ended with [1-9]" <<<"$driver_output"; then
    pass "the silent uninstall refused to go on while the game ran"
else
    fail "the silent uninstall did not stop while the game ran"
fi
listing="$(cd "$custom_dir" 2>/dev/null && ls -A | sort | tr '\n' ' ')"
if [ "$listing" = "LEGGIMI.txt Ondrel.exe uninstall.exe " ]; then
    pass "the refused uninstall left every file"
else
    fail "the refused uninstall left '$listing'"
fi
expect_shortcut "$start_link" "$custom_folder\\Ondrel.exe" "the Start-menu shortcut"
expect_shortcut "$desktop_link" "$custom_folder\\Ondrel.exe" "the desktop shortcut"
read_entry
expect_value DisplayVersion 0.9

step "reinstall over the existing install"
printf 'Livello 9\r\n' >"$custom_dir/punteggi.txt"
install 0 /S
expect_installed "$custom_dir" punteggi.txt
expect_shortcut "$start_link" "$custom_folder\\Ondrel.exe" "the Start-menu shortcut"
expect_shortcut "$desktop_link" "$custom_folder\\Ondrel.exe" "the desktop shortcut (kept)"
expect_entry "$custom_folder" "$custom_dir"

step "reinstall into the default folder"
install 0 "/S /D=$default_folder"
expect_installed "$default_dir"
listing="$(cd "$custom_dir" 2>/dev/null && ls -A | tr '\n' ' ')"
if [ "$listing" = "punteggi.txt " ]; then
    pass "the earlier folder keeps only the user's file"
else
    fail "the earlier folder holds '$listing'"
fi
expect_shortcut "$start_link" "$default_folder\\Ondrel.exe" "the Start-menu shortcut"
expect_shortcut "$desktop_link" "$default_folder\\Ondrel.exe" "the desktop shortcut"
expect_entry "$default_folder" "$default_dir"

step "silent uninstall"
printf 'appunti\r\n' >"$default_dir/note.txt"
uninstall "$default_dir"
listing="$(cd "$default_dir" 2>/dev/null && ls -A | tr '\n' ' ')"
if [ "$listing" = "note.txt " ]; then
    pass "the folder keeps only the user's file"
else
    fail "the folder holds '$listing' after the uninstall"
fi
expect_gone "$start_link" "the Start-menu shortcut"
expect_gone "$desktop_link" "the desktop shortcut"
expect_no_entry

echo
echo "installer test: $checks checks, $failures failed, $((SECONDS - started)) s"
[ "$failures" -eq 0 ]
