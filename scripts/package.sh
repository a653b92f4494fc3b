#!/usr/bin/env bash
# Builds the release packages of Ondrel into dist/:
#   Ondrel-<version>-win64.zip, Ondrel-<version>-win32.zip
#       portable: one folder named after the package, with Ondrel.exe and LEGGIMI.txt
#   Ondrel-<version>-win64-setup.exe, Ondrel-<version>-win32-setup.exe
#       installers made with NSIS from installer/Ondrel.nsi
#   SHA256SUMS
#       the SHA-256 of every package, in the form `sha256sum -c SHA256SUMS` reads
# from Release builds of the program alone (presets release-win64 and release-win32, built in
# build/release-win64 and build/release-win32, without the tests). Ondrel.exe is self-contained
# (runtime linked in); LEGGIMI.txt is a short read-me in Italian and English. The version is the
# one the build generates from CMakeLists.txt. Every time stored in a package is the date of the
# commit (SOURCE_DATE_EPOCH, read from git when it is not set), so two builds of one commit give
# the same bytes: scripts/repro-check.sh measures that. The packages are checked with
# tests/package_check.sh at the end. Installs missing Debian packages first (as root, or
# through sudo).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"
cd "$root"

ensure_packages "${BUILD_PACKAGES[@]}" python3 nsis

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH="$(git log -1 --format=%ct 2>/dev/null || true)"
    if [ -z "$SOURCE_DATE_EPOCH" ]; then
        echo "package: not a git checkout; set SOURCE_DATE_EPOCH to the release's time" \
            "(seconds since 1970)" >&2
        exit 1
    fi
    if [ -n "$(git status --porcelain --untracked-files=no 2>/dev/null)" ]; then
        echo "package: uncommitted changes: these packages are not those of commit" \
            "$(git rev-parse --short HEAD)" >&2
    fi
fi
export SOURCE_DATE_EPOCH

for bits in 64 32; do
    preset="release-win$bits"
    echo "== $preset: Release build of Ondrel" >&2
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target Ondrel
done

version_header=build/release-win64/generated/OndrelVersion.h
version="$(sed -n 's/^#define ONDREL_VERSION "\([0-9.]*\)"$/\1/p' "$version_header")"
if [ -z "$version" ]; then
    echo "package: no version in $version_header" >&2
    exit 1
fi

# The read-me, with Windows line ends and a byte-order mark so that Notepad reads it as UTF-8.
write_readme() {
    local file="$1" bits="$2"
    {
        printf '\xEF\xBB\xBF'
        sed 's/$/\r/' <<TEXT
Ondrel $version ($bits bit)
==========================

ITALIANO

Ondrel è un piccolo gioco di memoria per Windows. Quattro caselle colorate
(rossa, gialla, blu e verde) si accendono una dopo l'altra, ciascuna con un
clic; poi tocca a te ripetere la sequenza cliccando le caselle nello stesso
ordine. Il primo livello mostra tre caselle e ogni livello vinto ne aggiunge
una; un clic sbagliato termina la partita.

- Installazione: Ondrel-$version-win$bits-setup.exe mette il gioco nella
  cartella %LOCALAPPDATA%\\Programs\\Ondrel (o in quella che scegli) e lo
  aggiunge al menu Start, senza diritti di amministratore. Si disinstalla da
  Impostazioni > App.
- Senza installazione: estrai la cartella di Ondrel-$version-win$bits.zip dove
  vuoi e fai doppio clic su Ondrel.exe.
- Il programma non scrive file né impostazioni.
- "GIOCA" comincia una partita, "Info" mostra le informazioni sul programma,
  "Chiudi" esce (dopo una conferma).
- Tastiera: durante il tuo turno i tasti 1, 2, 3 e 4 (anche del tastierino
  numerico) premono le caselle: 1 in alto a sinistra (rossa), 2 in alto a
  destra (gialla), 3 in basso a sinistra (blu), 4 in basso a destra (verde).
  F2 comincia una nuova partita, come "GIOCA". Tab e Spazio scelgono e premono
  i pulsanti, Alt o F10 apre i menu, Alt+F4 esce.
- Requisiti: Windows 7 o successivo. La versione a 64 bit richiede Windows a
  64 bit; quella a 32 bit funziona su entrambi.
- Ondrel è freeware: può essere usato e copiato liberamente, purché non venga
  venduto né modificato. È fornito così com'è, senza garanzie di alcun tipo.

ENGLISH

Ondrel is a small memory game for Windows, with an Italian user interface.
Four coloured boxes (red, yellow, blue and green) light up one after another,
each with a click; then it is your turn to repeat the sequence by clicking the
boxes in the same order. The first level shows three boxes and every level won
adds one more; a wrong click ends the game.

- Install: Ondrel-$version-win$bits-setup.exe puts the game into the folder
  %LOCALAPPDATA%\\Programs\\Ondrel (or one you choose) and adds it to the Start
  menu, without administrator rights. Remove it from Settings > Apps.
- Without installing: extract the folder of Ondrel-$version-win$bits.zip
  anywhere and double-click Ondrel.exe.
- The program writes no files and no settings.
- "GIOCA" (play) starts a game, "Info" shows the about box, "Chiudi" (close)
  quits after asking "Vuoi realmente uscire?" (do you really want to quit?).
- Keys: during your turn the keys 1, 2, 3 and 4 (on the numeric keypad too)
  press the boxes: 1 top left (red), 2 top right (yellow), 3 bottom left
  (blue), 4 bottom right (green). F2 starts a new game, as "GIOCA" does. Tab
  and Space choose and press the buttons, Alt or F10 opens the menus, Alt+F4
  quits.
- Requirements: Windows 7 or later. The 64-bit version needs 64-bit Windows;
  the 32-bit version runs on both.
- Ondrel is freeware: it may be used and copied freely, as long as it is not
  sold or modified. It comes as is, without any warranty.

Copyright © 2026 Gli sviluppatori di Ondrel
TEXT
    } >"$file"
}

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p dist
rm -f dist/Ondrel-*-win64.zip dist/Ondrel-*-win32.zip dist/Ondrel-*-setup.exe dist/SHA256SUMS

packages=()
for bits in 64 32; do
    preset="release-win$bits"
    name="Ondrel-$version-win$bits"
    files="$scratch/$name"
    mkdir -p "$files"
    cp "build/$preset/Ondrel.exe" "$files/Ondrel.exe"
    write_readme "$files/LEGGIMI.txt" "$bits"
    # The installer stores the files' times and gives them to the installed files.
    touch -d "@$SOURCE_DATE_EPOCH" "$files/Ondrel.exe" "$files/LEGGIMI.txt"

    echo "== dist/$name.zip" >&2
    python3 - "$files" "$name" "dist/$name.zip" "$SOURCE_DATE_EPOCH" <<'PY'
import os, sys, time, zipfile
files, name, target, epoch = sys.argv[1:5]
# Entries in a fixed order, with the commit's time (UTC; zip times begin in 1980) and fixed
# attributes, so that the archive depends on the files alone.
stamp = time.gmtime(max(int(epoch), 315532800))[:6]
with zipfile.ZipFile(target, "w") as package:
    for entry in ("Ondrel.exe", "LEGGIMI.txt"):
        info = zipfile.ZipInfo(name + "/" + entry, stamp)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 3
        info.external_attr = 0o644 << 16
        with open(os.path.join(files, entry), "rb") as source:
            package.writestr(info, source.read(), compresslevel=9)
PY

    echo "== dist/$name-setup.exe" >&2
    makensis -V2 -WX -DBITS="$bits" -DBUILD_DIR="$root/build/$preset" -DFILES_DIR="$files" \
        -DOUT_FILE="$root/dist/$name-setup.exe" installer/Ondrel.nsi
    packages+=("$name.zip" "$name-setup.exe")
done
(cd dist && sha256sum "${packages[@]}" >SHA256SUMS)

bash tests/package_check.sh --version "$version" --root "$root" \
    build/release-win64/Ondrel.exe build/release-win32/Ondrel.exe
echo
for package in "${packages[@]}"; do
    echo "dist/$package: $(stat -c %s "dist/$package") bytes"
done
cat dist/SHA256SUMS
