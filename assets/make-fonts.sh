#!/usr/bin/env bash
# Builds the showcase's 15 fonts in assets/Fonts/ from freely licensed Debian font packages.
# Relies on apt-get download and dpkg-deb (nothing is installed) and on lumora-mkfnt.
#
# Usage: assets/make-fonts.sh [--check] BUILD_DIR
#   BUILD_DIR is a lumora build directory holding bin/lumora-mkfnt (and bin/lumora-fnt).
#   --check  builds the fonts into a temporary directory instead, leaves assets/Fonts/ as
#            it is and lists, font by font, the glyphs whose ink or width differs from the
#            committed font (lumora-fnt --diff); exit status 0 when every font agrees, 1
#            when some differ.
# The packages are fetched into a temporary directory and removed afterwards. If apt-get
# cannot find a package, run apt-get update first. Sources and licences: assets/SOURCES.md.
set -euo pipefail

usage() { sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; }
check=0
if [ "${1:-}" = "--check" ]; then
  check=1
  shift
fi
if [ "${1:-}" = "-h" ] || [ "${1:-}" = "--help" ]; then
  usage
  exit 0
fi
if [ $# -ne 1 ] || [ "${1:0:1}" = "-" ]; then
  usage >&2
  exit 2
fi

here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$1" && pwd)/bin
mkfnt=$bin/lumora-mkfnt
fnt=$bin/lumora-fnt
for tool in "$mkfnt" $([ $check -eq 1 ] && echo "$fnt"); do
  if [ ! -x "$tool" ]; then
    echo "make-fonts: $tool not found: build it first" >&2
    exit 1
  fi
done

packages=(fonts-routed-gothic fonts-comic-neue fonts-inconsolata fonts-liberation2
          fonts-dejavu-extra fonts-urw-base35 fonts-sil-gentium-basic fonts-texgyre
          fonts-kristi fonts-dancingscript fonts-symbola)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "make-fonts: fetching ${#packages[@]} packages" >&2
(cd "$work" && apt-get download -q "${packages[@]}" 2>&1 | grep -v '^W: Download is performed unsandboxed' >&2)
for deb in "$work"/*.deb; do dpkg-deb -x "$deb" "$work/root"; done

out_dir=$here/Fonts
if [ $check -eq 1 ]; then
  out_dir=$work/Fonts
fi
mkdir -p "$out_dir"
count=0
differing=0

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
  count=$((count + 1))
  echo "make-fonts: [$count/15] $out" >&2
  "$mkfnt" "$@" "$path" "$out_dir/$out"
  if [ $check -eq 1 ]; then
    local status=0
    "$fnt" --diff "$here/Fonts/$out" "$out_dir/$out" || status=$?
    case $status in
      0) ;;
      4) differing=$((differing + 1)) ;;
      *) echo "make-fonts: cannot compare $out (lumora-fnt exit status $status)" >&2
         exit 1 ;;
    esac
  fi
}

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
if [ $check -eq 0 ]; then
  echo "make-fonts: 15 fonts written to $here/Fonts" >&2
  exit 0
fi
if [ $differing -eq 0 ]; then
  echo "make-fonts: all 15 fonts in $here/Fonts are what lumora-mkfnt makes now" >&2
  exit 0
fi
echo "make-fonts: $differing of 15 fonts in $here/Fonts differ from what lumora-mkfnt makes now;" \
     "run assets/make-fonts.sh $1 to rebuild them" >&2
exit 1
