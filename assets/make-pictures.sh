#!/bin/bash
# Recipe for the showcase's nine pictures: fetches freely licensed images from Debian
# packages (apt-get download + dpkg-deb -x, nothing installed), converts them with ImageMagick.
set -euo pipefail

usage() {
  cat <<'EOF'
Usage: assets/make-pictures.sh [--out DIR] [--debs DIR] [--keep]

Builds the nine .bmp pictures of the showcase under assets/Pictures/ (or DIR) from
Debian packages. The packages are fetched with `apt-get download` into a temporary
directory and unpacked with `dpkg-deb -x`; nothing is installed. Needs apt-get,
dpkg-deb and ImageMagick's convert/identify. Sources and licences: assets/SOURCES.md.

  --out DIR    write the pictures into DIR (default: the Pictures directory beside this script)
  --debs DIR   take the .deb files from DIR when present there, download the others into it
  --keep       keep the temporary work directory and print its path
  --help       this text
EOF
}

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
OUT="$HERE/Pictures"
DEBS=""
KEEP=0
while [ $# -gt 0 ]; do
  case "$1" in
    --out) OUT="$2"; shift 2 ;;
    --debs) DEBS="$2"; shift 2 ;;
    --keep) KEEP=1; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "make-pictures: unknown argument '$1' (try --help)" >&2; exit 2 ;;
  esac
done

for tool in apt-get dpkg-deb convert identify; do
  command -v "$tool" >/dev/null || { echo "make-pictures: '$tool' is needed" >&2; exit 1; }
done
convert -version 2>/dev/null | grep -q ImageMagick ||
  { echo "make-pictures: ImageMagick's convert is needed (apt-get install imagemagick)" >&2; exit 1; }

WORK="$(mktemp -d)"
if [ "$KEEP" = 1 ]; then echo "make-pictures: work directory $WORK"; else trap 'rm -rf "$WORK"' EXIT; fi
[ -n "$DEBS" ] || DEBS="$WORK/debs"
mkdir -p "$DEBS" "$WORK/root" "$WORK/tmp" "$OUT"

PACKAGES=(tuxpaint-stamps-default tuxpaint-data lxqt-themes plasma-workspace-wallpapers
          mate-backgrounds lomiri-wallpapers-20.04 lomiri-wallpapers-16.04)
for pkg in "${PACKAGES[@]}"; do
  if ! ls "$DEBS/${pkg}"_*.deb >/dev/null 2>&1; then
    echo "make-pictures: downloading $pkg"
    (cd "$DEBS" && apt-get download -q "$pkg" >/dev/null)
  fi
  dpkg-deb -x "$(ls "$DEBS/${pkg}"_*.deb | head -n 1)" "$WORK/root"
done

S="$WORK/root/usr/share"
T="$WORK/tmp"
STAMPS="$S/tuxpaint/stamps"

# ImageMagick writes a 124-byte info header for plain BMP: and RLE8 for 8-bit BMP3: unless told
# otherwise, so every picture is written as BMP3 without compression.
write24() { convert "$1" -alpha off -type TrueColor -compress None "BMP3:$2"; }
write8() { convert "$1" -alpha off -type Palette -compress None "BMP3:$2"; }

# A background scaled to cover W x H and cut to it around the centre.
cover() { convert "$1" -resize "${2}x${3}^" -gravity center -extent "${2}x${3}" +repage "$4"; }

step() { echo "make-pictures: $1"; }

step "bear.bmp (European bear stamp on the fog wallpaper)"
cover "$S/lxqt/wallpapers/fog.jpg" 400 300 "$T/fog.png"
convert "$T/fog.png" \( "$STAMPS/animals/mammals/bears/european-bear.png" -resize x250 \) \
  -gravity south -geometry +20+8 -compose over -composite "$T/bear.png"
write24 "$T/bear.png" "$OUT/bear.bmp"

step "Flowers__and__Butterfly.bmp (butterfly wallpaper)"
convert "$S/lxqt/wallpapers/butterfly.png" -resize '641x426!' "$T/butterfly.png"
write24 "$T/butterfly.png" "$OUT/Flowers__and__Butterfly.bmp"

step "forest-nature-wallpaper.bmp (Path wallpaper)"
cover "$S/wallpapers/Path/contents/images/2560x1600.jpg" 480 300 "$T/path.png"
write24 "$T/path.png" "$OUT/forest-nature-wallpaper.bmp"

step "Lotus.bmp (FreshFlower background)"
cover "$S/backgrounds/mate/nature/FreshFlower.jpg" 479 359 "$T/flower.png"
write24 "$T/flower.png" "$OUT/Lotus.bmp"

step "Spirit.bmp (Infinite Sea wallpaper)"
cover "$S/backgrounds/Infinite-Sea_by_Aury88.jpg" 478 318 "$T/sea.png"
write24 "$T/sea.png" "$OUT/Spirit.bmp"

step "StillDreaming.bmp (summer 1am wallpaper)"
cover "$S/wallpapers/summer_1am/contents/images/2560x1600.jpg" 463 290 "$T/summer.png"
write24 "$T/summer.png" "$OUT/StillDreaming.bmp"

step "detroit_skyline.bmp (skyline starter, 256 colours)"
cover "$S/tuxpaint/starters/skyline-sf-dusk-back.jpeg" 355 298 "$T/skyline.png"
convert "$T/skyline.png" -colors 256 "$T/skyline8.png"
write8 "$T/skyline8.png" "$OUT/detroit_skyline.bmp"

step "bear2.bmp (bear stamp on the Aitzgorri wallpaper, 256 colours)"
cover "$S/backgrounds/aitzgorri_by_Aitzol_Berasategi.jpg" 400 300 "$T/aitzgorri.png"
convert "$T/aitzgorri.png" \( "$STAMPS/animals/mammals/bears/bear.png" -resize x190 \) \
  -gravity southwest -geometry +40+6 -compose over -composite -colors 256 "$T/bear2.png"
write8 "$T/bear2.png" "$OUT/bear2.bmp"

# The airplane is shown with white as its transparent colour: every pure white pixel must be
# background, and all of the background pure white. The stamp's alpha is cut at 50 %, the
# plane is reduced to 254 colours with its own pure whites moved to (254, 254, 254), and only
# then put on white, so that the palette (at most 256 entries) keeps every colour exactly.
step "airplane.bmp (747 stamp on pure white, 256 colours)"
convert "$STAMPS/vehicles/flight/planes/747.png" -resize '221x110!' \
  -channel A -threshold 50% +channel "$T/plane-rgba.png"
convert "$T/plane-rgba.png" -alpha extract "$T/plane-mask.png"
convert "$T/plane-rgba.png" -background white -alpha remove -alpha off \
  -dither None -colors 254 -fill 'rgb(254,254,254)' -opaque white "$T/plane-rgb.png"
convert "$T/plane-rgb.png" "$T/plane-mask.png" -alpha off -compose CopyOpacity -composite \
  -background white -alpha remove -alpha off "$T/plane.png"
write8 "$T/plane.png" "$OUT/airplane.bmp"

# Checks: sizes, depths, no compression, and the airplane's white exactly its background.
check() {  # file width height bits
  local f="$OUT/$1" bits info_size
  [ "$(identify -format '%wx%h' "$f")" = "${2}x${3}" ] || { echo "make-pictures: $1 has the wrong size" >&2; exit 1; }
  bits=$(od -An -t u2 -j 28 -N 2 "$f" | tr -d ' ')
  info_size=$(od -An -t u4 -j 14 -N 4 "$f" | tr -d ' ')
  compression=$(od -An -t u4 -j 30 -N 4 "$f" | tr -d ' ')
  [ "$bits" = "$4" ] && [ "$info_size" = 40 ] && [ "$compression" = 0 ] ||
    { echo "make-pictures: $1 is $bits bits, header $info_size, compression $compression" >&2; exit 1; }
}
check bear.bmp 400 300 24
check Flowers__and__Butterfly.bmp 641 426 24
check forest-nature-wallpaper.bmp 480 300 24
check Lotus.bmp 479 359 24
check Spirit.bmp 478 318 24
check StillDreaming.bmp 463 290 24
check detroit_skyline.bmp 355 298 8
check bear2.bmp 400 300 8
check airplane.bmp 221 110 8

white_in_picture=$(convert "$OUT/airplane.bmp" -fill black +opaque white -fill white -opaque white \
  -colorspace gray -format '%[fx:round(mean*w*h)]' info:)
background=$(convert "$T/plane-mask.png" -negate -colorspace gray -format '%[fx:round(mean*w*h)]' info:)
background_white=$(convert "$OUT/airplane.bmp" "$T/plane-mask.png" -compose multiply -composite \
  -fill black +opaque white -colorspace gray -format '%[fx:round(mean*w*h)]' info:)
if [ "$white_in_picture" != "$background" ] || [ "$background_white" != 0 ]; then
  echo "make-pictures: airplane.bmp: $white_in_picture white pixels, $background background pixels," \
       "$background_white white pixels inside the plane" >&2
  exit 1
fi
echo "make-pictures: 9 pictures written to $OUT"
