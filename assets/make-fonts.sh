#!/usr/bin/env bash
# Builds the showcase's 15 fonts in assets/Fonts/ from freely licensed Debian font packages.
# Relies on apt-get download and dpkg-deb (nothing is installed) and on lumora-mkfnt.
#
# Usage: assets/make-fonts.sh BUILD_DIR
#   BUILD_DIR is a lumora build directory holding bin/lumora-mkfnt.
# The packages are fetched into a temporary directory and removed afterwards. If apt-get
# cannot find a package, run apt-get update first. Sources and licences: assets/SOURCES.md.
set -euo pipefail

if [ "${1:-}" = "-h" ] || [ "${1:-}" = "--help" ] || [ $# -ne 1 ]; then
  sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'
  [ $# -eq 1 ] && exit 0 || exit 2
fi

here=$(cd "$(dirname "$0")" && pwd)
mkfnt=$(cd "$1" && pwd)/bin/lumora-mkfnt
if [ ! -x "$mkfnt" ]; then
  echo "make-fonts: $mkfnt not found: build lumora-mkfnt first" >&2
  exit 1
fi

packages=(fonts-routed-gothic fonts-comic-neue fonts-inconsolata fonts-liberation2
          fonts-dejavu-extra fonts-urw-base35 fonts-sil-gentium-basic fonts-texgyre
          fonts-kristi fonts-dancingscript fonts-symbola)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "make-fonts: fetching ${#packages[@]} packages" >&2
(cd "$work" && apt-get download -q "${packages[@]}" 2>&1 | grep -v '^W: Download is performed unsandboxed' >&2)
for deb in "$work"/*.deb; do dpkg-deb -x "$deb" "$work/root"; done

# make FILE.fnt SOURCE-FONT-FILE lumora-mkfnt-options...
make() {
  local out=$1 source=$2
  shift 2
  local path
  path=$(find "$work/root/usr/share" -name "$source" -print -quit)
  if [ -z "$path" ]; then
    echo "make-fonts: $source is in none of the packages" >&2
    exit 1
  fi
  "$mkfnt" "$@" "$path" "$here/Fonts/$out"
}

mkdir -p "$here/Fonts"
# 3.x where the glyph offsets need it (Architext) and for a few others, so that both table
# layouts are in use; 2.x for the rest.
make "Architext_64.fnt"                          routed-gothic.ttf                   --pt 64 --version 3
make "Comic Sans MS_regular_26.fnt"              ComicNeue-Bold.otf                  --pt 26
make "Consolas_36_regular.fnt"                   Inconsolata.otf                     --pt 36 --version 3
make "Courier New_26_regular.fnt"                LiberationMono-Regular.ttf          --pt 26
make "DejaVu Serif Condensed_bold italic_16.fnt" DejaVuSerifCondensed-BoldItalic.ttf --pt 16 --version 3
make "Gabriola_28.fnt"                           Z003-MediumItalic.otf               --pt 28 --version 3
make "Gentium Basic_11.fnt"                      GenBasR.ttf                         --pt 11
make "Palatino Linotype_20_italic.fnt"           texgyrepagella-italic.otf           --pt 20
make "Script_20_regular.fnt"                     Kristi.ttf                          --pt 20
make "Segoe Script_20_regular.fnt"               DancingScript-Regular.otf           --pt 20 --version 3
make "Segoe Script_8.fnt"                        DancingScript-Bold.otf              --pt 8
make "Times New Roman_12.fnt"                    LiberationSerif-Regular.ttf         --pt 12
make "Wingdings_14_bold.fnt"                     Symbola_hint.ttf                    --pt 14 --bold \
     --codes "$here/symbol-font-codes.tsv"
make "Palatino Linotype_16_regular.fnt"          texgyrepagella-regular.otf          --pt 16
make "Gentium Book Basic_22_regular.fnt"         GenBkBasR.ttf                       --pt 22 --version 3
echo "make-fonts: 15 fonts written to $here/Fonts" >&2
