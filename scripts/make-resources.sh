#!/usr/bin/env bash
# Regenerates the program's pictures and sound in resources/ (the results are committed, so a
# build needs none of the tools used here): the click sound, the two logos and the icon.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/resources"
# shellcheck source=scripts/lib.sh
source "$root/scripts/lib.sh"

ensure_packages imagemagick sox python3 fonts-dejavu-core
font=DejaVu-Sans-Bold

# Colours of the four squares: those of the game board's lit boxes, also entries of the
# standard 16-colour palette the icon uses.
red='#FF0000'
yellow='#FFFF00'
blue='#0000FF'
green='#00FF00'
grey='#C0C0C0'

# The click: a short burst of noise shaped by a 1200 Hz tone, fading out within 0.1 s.
# Exactly 4430 samples (8860 bytes) of 16-bit mono PCM at 44100 Hz, plain 44-byte header.
sox -R -r 44100 -c 1 -n -r 44100 -b 16 -c 1 -e signed-integer --comment "" "$out/click.wav" \
    synth 4430s pinknoise synth 4430s sine amod 1200 fade p 0.001 -0 0.098 gain -4 \
    pad 0 4430s trim 0 4430s

# A logo: the four squares on a black tile at the left, the name beside them.
# $1 file, $2 width, $3 point size of the name, $4 x of the name.
make_logo() {
    local file="$1" width="$2" size="$3" textx="$4"
    convert -size "${width}x50" "xc:$grey" +antialias \
        -fill black -draw "roundrectangle 3,2 50,47 4,4" \
        -fill "$red" -draw "rectangle 6,5 25,23" \
        -fill "$yellow" -draw "rectangle 28,5 47,23" \
        -fill "$blue" -draw "rectangle 6,26 25,44" \
        -fill "$green" -draw "rectangle 28,26 47,44" \
        -antialias -font "$font" -pointsize "$size" -fill '#202060' \
        -gravity West -annotate "+${textx}+0" 'Ondrel' \
        -type TrueColor -define bmp:format=bmp3 "BMP3:$file"
}
make_logo "$out/logo-main.bmp" 200 32 60
make_logo "$out/logo-about.bmp" 163 24 58

python3 "$root/scripts/make-icon.py" "$out/Ondrel.ico"

echo "resources written to $out"
