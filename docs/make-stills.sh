#!/usr/bin/env bash
# Renders the README's stills of the showcase scenes into docs/ with lumora-record.
# Usage: docs/make-stills.sh [BUILD_DIR]   (default: build; needs bin/lumora-record there)
set -euo pipefail
if [ "${1:-}" = "-h" ] || [ "${1:-}" = "--help" ]; then
  sed -n '2,3p' "$0" | sed 's/^# \{0,1\}//'
  exit 0
fi
docs=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$docs/../build}" && pwd)
record="$build/bin/lumora-record"
[ -x "$record" ] || { echo "make-stills: $record not found: build lumora first" >&2; exit 1; }
# One step of each scene where most of what it shows is on screen.
"$record" -q \
  --still "introduction:3000:$docs/scene-introduction.png" \
  --still "primitives:400:$docs/scene-primitives.png" \
  --still "fonts:560:$docs/scene-fonts.png" \
  --still "images:2700:$docs/scene-images.png" \
  --still "outro:480:$docs/scene-outro.png"
