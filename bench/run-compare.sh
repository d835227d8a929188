#!/usr/bin/env bash
# Builds bench_compare (Release), runs it with repetitions and writes the comparison of
# lumora with pixman, SDL2, straightforward C and the memory limit, on a 1024 x 768 and a
# 3840 x 2160 screen, to docs/benchmarks.md.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-cmp"
REPS=7
MIN_TIME=0.1
OUT="$ROOT/docs/benchmarks.md"
FILTER=""
DO_BUILD=1

usage() {
  cat <<EOF
Usage: bench/run-compare.sh [options]

Builds bench_compare in Release, runs every work item with every peer on both screens
(1024 x 768 and 3840 x 2160), prints the table and writes it to docs/benchmarks.md. Needs
pixman-1 and sdl2 (pkg-config), SDL2_gfx for the SDL2_gfx line and circle rows, and
python3. One run takes about five minutes with the default repetitions, and needs about
400 MB of memory.

Options:
  -b, --build-dir DIR   build directory (default: $BUILD)
  -r, --repetitions N   repetitions of each benchmark, medians are reported (default: $REPS)
  -t, --min-time S      minimum seconds per repetition (default: $MIN_TIME)
  -f, --filter REGEX    run only the benchmarks matching REGEX (e.g. 'fill_|frame', or
                        '^4k_' for the 3840 x 2160 screen)
  -o, --out FILE        markdown file to write (default: docs/benchmarks.md)
      --no-build        run the binary already in the build directory
  -h, --help            show this help
EOF
}

while [ $# -gt 0 ]; do
  case "$1" in
    -b|--build-dir) BUILD="$2"; shift 2 ;;
    -r|--repetitions) REPS="$2"; shift 2 ;;
    -t|--min-time) MIN_TIME="$2"; shift 2 ;;
    -f|--filter) FILTER="$2"; shift 2 ;;
    -o|--out) OUT="$2"; shift 2 ;;
    --no-build) DO_BUILD=0; shift ;;
    -h|--help) usage; exit 0 ;;
    *) echo "run-compare.sh: unknown option '$1' (see --help)" >&2; exit 2 ;;
  esac
done

if [ "$DO_BUILD" = 1 ]; then
  echo "== building bench_compare (Release) in $BUILD"
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DLUMORA_BUILD_TESTS=OFF \
    -DLUMORA_BUILD_TOOLS=OFF >/dev/null
  cmake --build "$BUILD" --target bench_compare -j2
fi
BIN="$BUILD/bin/bench_compare"
if [ ! -x "$BIN" ]; then
  echo "run-compare.sh: $BIN was not built (pixman-1 or sdl2 missing? see the cmake output)" >&2
  exit 1
fi

JSON="$BUILD/compare.json"
CHECKS="$BUILD/compare-checks.tsv"
# Repetitions of all benchmarks are interleaved at random, so a burst of other work on
# the machine spreads over every peer instead of falling on one.
ARGS=(--benchmark_repetitions="$REPS" --benchmark_report_aggregates_only=true
      --benchmark_enable_random_interleaving=true
      --benchmark_min_time="$MIN_TIME" --benchmark_out="$JSON" --benchmark_out_format=json
      --check_out="$CHECKS")
[ -n "$FILTER" ] && ARGS+=(--benchmark_filter="$FILTER")

echo "== running bench_compare ($REPS repetitions, medians)"
"$BIN" "${ARGS[@]}"

REVISION="$(git -C "$ROOT" describe --always --dirty 2>/dev/null || echo unknown)"
mkdir -p "$(dirname "$OUT")"
echo "== table (written to $OUT)"
python3 "$ROOT/bench/compare/table.py" --json "$JSON" --checks "$CHECKS" --out "$OUT" \
  --revision "$REVISION"
