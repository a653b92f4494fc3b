#!/usr/bin/env bash
# Builds the release packages of Ondrel:
#   dist/Ondrel-<version>-win64.zip   from the win64 preset (build/win64)
#   dist/Ondrel-<version>-win32.zip   from the win32 preset (build/win32)
# Each holds one folder named after the package with the self-contained Ondrel.exe (Release
# build, runtime linked in) and LEGGIMI.txt, a short read-me in Italian and English. The
# packages are checked with tests/package_check.sh at the end. Installs missing Debian
# packages first (as root, or through sudo).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"
cd "$root"

ensure_packages "${BUILD_PACKAGES[@]}" python3

version="$(sed -n 's/^project(Ondrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
if [ -z "$version" ]; then
    echo "package: no version in CMakeLists.txt" >&2
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

- Avvio: non serve installare nulla. Estrai la cartella dove vuoi e fai doppio
  clic su Ondrel.exe. Il programma non scrive file né impostazioni.
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

- Start: nothing to install. Extract the folder anywhere and double-click
  Ondrel.exe. The program writes no files and no settings.
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

for bits in 64 32; do
    preset="win$bits"
    echo "== $preset: Release build of Ondrel" >&2
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target Ondrel

    name="Ondrel-$version-$preset"
    mkdir -p "$scratch/$name"
    cp "build/$preset/Ondrel.exe" "$scratch/$name/Ondrel.exe"
    write_readme "$scratch/$name/LEGGIMI.txt" "$bits"
    rm -f "dist/$name.zip"
    python3 - "$scratch" "$name" "dist/$name.zip" <<'PY'
import os, sys, zipfile
scratch, name, target = sys.argv[1:4]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as package:
    for entry in ("Ondrel.exe", "LEGGIMI.txt"):
        package.write(os.path.join(scratch, name, entry), name + "/" + entry)
PY
done

bash tests/package_check.sh --version "$version" --root "$root" build/win64/Ondrel.exe
echo
for bits in 64 32; do
    name="Ondrel-$version-win$bits"
    echo "dist/$name.zip: $(stat -c %s "dist/$name.zip") bytes"
    python3 -m zipfile -l "dist/$name.zip"
done
