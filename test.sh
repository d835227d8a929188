#!/usr/bin/env bash
# Builds lumora with its tests and runs them all.
set -euo pipefail
LUMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$LUMORA_ROOT/scripts/deps.sh"
BUILD="${LUMORA_TEST_BUILD:-$LUMORA_ROOT/build}"

lumora_install_deps "${LUMORA_BUILD_PACKAGES[@]}" "${LUMORA_TEST_PACKAGES[@]}"
lumora_build "$BUILD" "$@"
cd "$BUILD"
ctest --output-on-failure -j"$(nproc)"
