#!/usr/bin/env bash
# Builds everything and plays the lumora showcase in its window. Without a display it
# records the presentation to a video file instead and says where it is.
set -euo pipefail
LUMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$LUMORA_ROOT/scripts/deps.sh"
BUILD="$LUMORA_ROOT/build"

lumora_install_deps "${LUMORA_BUILD_PACKAGES[@]}" ffmpeg
lumora_build "$BUILD"

cd "$BUILD/bin"   # the showcase reads Fonts/ and Pictures/ from its current directory
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./lumorashowcase
fi
echo "No display found (DISPLAY is not set): recording the presentation to a video instead."
./lumora-record --output "$BUILD/lumora-showcase.mp4"
echo "Video written to $BUILD/lumora-showcase.mp4"
