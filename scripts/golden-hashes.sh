#!/usr/bin/env bash
# Builds lumora-record with a chosen compiler and optimisation flags, plays the whole
# presentation headless and compares every frame's hash with tests/golden/showcase.hashes.
set -euo pipefail
LUMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$LUMORA_ROOT/scripts/deps.sh"

CXX_GIVEN="g++"
FLAGS="-O2"
BUILD=""

usage() {
  cat <<EOF
Usage: scripts/golden-hashes.sh [--cxx COMPILER] [--flags FLAGS] [--build-dir DIR]

Builds lumora-record (without tests, benchmarks or SDL) with COMPILER and FLAGS, records the
hash of every frame of the whole headless presentation and compares the list with
tests/golden/showcase.hashes. Exit 0 when every frame matches; otherwise the first
differing frame is named with its scene and step.

  --cxx COMPILER     C++ compiler (default g++; e.g. clang++)
  --flags FLAGS      optimisation and target flags (default -O2; e.g. "-O0",
                     "-O3 -march=native")
  --build-dir DIR    build folder (default build-hashes-<compiler>-<flags>)
  -h, --help         show this help
EOF
}

while [ $# -gt 0 ]; do
  case "$1" in
    --cxx) CXX_GIVEN="$2"; shift 2 ;;
    --flags) FLAGS="$2"; shift 2 ;;
    --build-dir) BUILD="$2"; shift 2 ;;
    -h|--help) usage; exit 0 ;;
    *) echo "golden-hashes: unknown option '$1' (try --help)" >&2; exit 2 ;;
  esac
done

PACKAGES=(build-essential cmake pkg-config libfreetype-dev zlib1g-dev libxxhash-dev)
case "$CXX_GIVEN" in clang*) PACKAGES+=(clang) ;; esac
lumora_install_deps "${PACKAGES[@]}"

if [ -z "$BUILD" ]; then
  BUILD="$LUMORA_ROOT/build-hashes-$(basename "$CXX_GIVEN")$(echo "$FLAGS" | tr -c 'A-Za-z0-9' '_')"
fi
echo "== building lumora-record with $CXX_GIVEN $FLAGS in $BUILD"
cmake -S "$LUMORA_ROOT" -B "$BUILD" -DCMAKE_CXX_COMPILER="$CXX_GIVEN" -DCMAKE_BUILD_TYPE=None \
  -DCMAKE_CXX_FLAGS="$FLAGS" -DLUMORA_WITH_SDL=OFF -DLUMORA_BUILD_TESTS=OFF \
  -DLUMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target lumora-record

echo "== recording the frame hashes of the whole presentation"
HASHES="$BUILD/showcase.hashes"
(cd "$BUILD/bin" && ./lumora-record --no-video -q --hashes "$HASHES" >/dev/null)
if cmp -s "$HASHES" "$LUMORA_ROOT/tests/golden/showcase.hashes"; then
  echo "golden-hashes: all $(wc -l <"$HASHES") frames match tests/golden/showcase.hashes ($CXX_GIVEN $FLAGS)"
  exit 0
fi
echo "golden-hashes: frames differ from tests/golden/showcase.hashes ($CXX_GIVEN $FLAGS); first difference:" >&2
diff "$LUMORA_ROOT/tests/golden/showcase.hashes" "$HASHES" | head -4 >&2 || true
exit 1
