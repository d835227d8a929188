#!/usr/bin/env bash
# Renders the README's stills of the example programs into docs/examples/, headless.
# Usage: docs/examples/make-stills.sh [BUILD_DIR]   (default: build; needs the examples in bin/)
set -euo pipefail
if [ "${1:-}" = "-h" ] || [ "${1:-}" = "--help" ]; then
  sed -n '2,3p' "$0" | sed 's/^# \{0,1\}//'
  exit 0
fi
stills=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$stills/../../build}" && pwd)
[ -x "$build/bin/example_first_window" ] ||
  { echo "make-stills: no examples in $build/bin: build lumora first" >&2; exit 1; }
cd "$build/bin"  # the examples read Fonts/ and Pictures/ from here
# The frame of each example that shows what it is about: a still picture is complete at its
# first frame; the ball has bounced by frame 90; headless_png's twelfth frame is its last.
for still in first_window:1 text:1 pictures:1 animation:90 headless_png:12 viewports:1; do
  name=${still%:*}
  "./example_$name" --headless "${still#*:}" --png "$stills/$name.png" >/dev/null
  echo "make-stills: wrote $stills/$name.png"
done
