#!/usr/bin/env bash
# CI fuzz step: builds the fuzz targets with clang and runs each for about a minute from
# its seed corpus. Relies on fuzz/run.sh for building, seeding, running and the summary.
set -euo pipefail

usage() {
  cat <<'USAGE'
Usage: fuzz/ci.sh [--build-dir DIR] [--time SECONDS]

Builds fuzz_fnt, fuzz_bmp and fuzz_draw with clang and runs them side by side for SECONDS
(default 60) each, starting from a fresh corpus of the seeds and the kept regression inputs.
Exits non-zero when a target crashes, leaks, times out (10 s per input), exceeds 2 GiB or
breaks one of its checks; the failing input is printed and kept under the work directory.

  --build-dir DIR  build directory (default: build-fuzz-ci in the repository)
  --time SECONDS   run time of each target (default: 60)
  --help           this text

Needs clang (libFuzzer and the sanitizers), cmake and ImageMagick's convert (optional: without
it the showcase's pictures are not used as seeds).
USAGE
}

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-fuzz-ci"
TIME=60
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) BUILD="$2"; shift 2 ;;
    --time) TIME="$2"; shift 2 ;;
    --help|-h) usage; exit 0 ;;
    *) echo "ci.sh: unknown argument: $1" >&2; usage >&2; exit 2 ;;
  esac
done
command -v clang++ >/dev/null || { echo "ci.sh: clang++ not found (Debian package clang)" >&2; exit 1; }

WORK="$BUILD/fuzz-ci-work"
rm -rf "$WORK"
exec "$ROOT/fuzz/run.sh" --build-dir "$BUILD" --work "$WORK" --time "$TIME"
