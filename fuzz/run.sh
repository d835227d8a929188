#!/usr/bin/env bash
# Long fuzz runs: builds the libFuzzer targets with clang, makes their seed corpora and runs
# them side by side at the lowest priority. Relies on clang, cmake and (for the showcase's
# pictures) ImageMagick's convert.
set -euo pipefail

usage() {
  cat <<'EOF'
Usage: fuzz/run.sh [options] [TARGET...]

Builds fuzz_fnt, fuzz_bmp and fuzz_draw with clang (libFuzzer, AddressSanitizer,
UndefinedBehaviorSanitizer), writes their seed corpora and runs the named targets (all three
by default) at the same time, each under `nice -n 19` with -workers=1 -jobs=1, until the
time is up. Seeds: the built-in fonts, pictures and drawing sequences, the kept regression
inputs (tests/fuzz_regressions/<target>/) and the showcase's assets (assets/Fonts/*.fnt,
and assets/Pictures/*.bmp reduced to 120 x 120 at 24 and 8 bits with ImageMagick).

  --build-dir DIR  build directory (default: build-fuzz beside this script's directory)
  --work DIR       corpora, findings and logs (default: BUILD/fuzz-work)
  --time SECONDS   run time of each target (default: 1800)
  --no-build       use the targets already built
  --snapshot       build from the committed HEAD (exported to BUILD/source) instead of the
                   working tree, so edits in progress elsewhere in the tree do not count
  --foreground     run the targets one after the other, logging to the terminal
  --help           this text

Afterwards: WORK/corpus/<target> holds the grown corpus, WORK/findings/<target>/ the inputs
that crashed, leaked, timed out or broke a check, WORK/logs/<target>/fuzz-0.log the log.
Prints per target the executions, executions per second, coverage (cov, ft) and corpus
size. Exit status 1 when any target found something, 2 on a usage error.
EOF
}

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-fuzz"
WORK=""
TIME=1800
BUILD_IT=1
SNAPSHOT=0
FOREGROUND=0
TARGETS=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) BUILD="$2"; shift 2 ;;
    --work) WORK="$2"; shift 2 ;;
    --time) TIME="$2"; shift 2 ;;
    --no-build) BUILD_IT=0; shift ;;
    --snapshot) SNAPSHOT=1; shift ;;
    --foreground) FOREGROUND=1; shift ;;
    --help|-h) usage; exit 0 ;;
    fuzz_fnt|fuzz_bmp|fuzz_draw) TARGETS+=("$1"); shift ;;
    *) echo "run.sh: unknown argument: $1" >&2; usage >&2; exit 2 ;;
  esac
done
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(fuzz_fnt fuzz_bmp fuzz_draw)
[[ "$TIME" =~ ^[0-9]+$ ]] || { echo "run.sh: --time takes whole seconds" >&2; exit 2; }
WORK="${WORK:-$BUILD/fuzz-work}"

if [ "$BUILD_IT" -eq 1 ]; then
  SOURCE="$ROOT"
  if [ "$SNAPSHOT" -eq 1 ]; then
    SOURCE="$BUILD/source"
    rm -rf "$SOURCE"
    mkdir -p "$SOURCE"
    git -C "$ROOT" archive HEAD | tar -x -C "$SOURCE"
    echo "== building the fuzz targets of $(git -C "$ROOT" rev-parse --short HEAD) in $BUILD"
  else
    echo "== building the fuzz targets in $BUILD"
  fi
  CC=clang CXX=clang++ cmake -S "$SOURCE" -B "$BUILD" -DLUMORA_FUZZ=ON -DLUMORA_BUILD_TESTS=OFF \
    -DLUMORA_BUILD_BENCH=OFF -DLUMORA_WITH_SDL=OFF -DLUMORA_BUILD_TOOLS=OFF >/dev/null
  nice -n 10 cmake --build "$BUILD" -j2 --target fuzz
fi
BIN="$BUILD/bin"

# Seeds: built-in, kept regression inputs, showcase assets.
echo "== making the seed corpora in $WORK/seeds"
rm -rf "$WORK/seeds" "$WORK/assets"
mkdir -p "$WORK/seeds" "$WORK/assets"
EXTRA=()
for F in "$ROOT"/assets/Fonts/*.fnt; do [ -f "$F" ] && EXTRA+=(--fnt "$F"); done
if command -v convert >/dev/null; then
  for F in "$ROOT"/assets/Pictures/*.bmp; do
    [ -f "$F" ] || continue
    B="$(basename "$F" .bmp)"
    convert "$F" -resize '120x120>' -type TrueColor "BMP3:$WORK/assets/${B}_24.bmp" &&
      EXTRA+=(--bmp "$WORK/assets/${B}_24.bmp")
    convert "$F" -resize '120x120>' -type Palette -colors 256 "BMP3:$WORK/assets/${B}_8.bmp" &&
      EXTRA+=(--bmp "$WORK/assets/${B}_8.bmp")
  done
else
  echo "run.sh: convert (ImageMagick) not found: the showcase's pictures are not used as seeds" >&2
fi
"$BIN/fuzz_make_seeds" "$WORK/seeds" "${EXTRA[@]}"
for T in "${TARGETS[@]}"; do
  KEPT="$ROOT/tests/fuzz_regressions/$T"
  [ -d "$KEPT" ] && find "$KEPT" -maxdepth 1 -type f ! -name '.*' -exec cp {} "$WORK/seeds/$T/" \;
done

options() {
  local dict="$ROOT/fuzz/dict/${1#fuzz_}.dict"
  case "$1" in
    fuzz_fnt) echo "-max_len=65536 -dict=$dict" ;;
    fuzz_bmp) echo "-max_len=65570 -dict=$dict" ;;  # 64 KiB of file behind the 34-byte prefix
    fuzz_draw) echo "-max_len=1024 -dict=$dict" ;;
  esac
}

# Each target's exit status goes to WORK/logs/<target>/status: libFuzzer exits non-zero on a
# finding, and so does a target that cannot start.
PIDS=()
for T in "${TARGETS[@]}"; do
  rm -rf "$WORK/logs/$T"
  mkdir -p "$WORK/corpus/$T" "$WORK/findings/$T" "$WORK/logs/$T"
  # shellcheck disable=SC2046
  ARGS=($(options "$T") -rss_limit_mb=2048 -timeout=10 -max_total_time="$TIME" -print_final_stats=1
        -artifact_prefix="$WORK/findings/$T/" "$WORK/corpus/$T" "$WORK/seeds/$T")
  if [ "$FOREGROUND" -eq 1 ]; then
    echo "== $T for $TIME s"
    set +e
    (cd "$WORK/logs/$T" && nice -n 19 "$BIN/$T" "${ARGS[@]}" 2>&1 | tee fuzz-0.log; exit "${PIPESTATUS[0]}")
    echo $? >"$WORK/logs/$T/status"
    set -e
  else
    echo "== $T for $TIME s, log $WORK/logs/$T/fuzz-0.log"
    (cd "$WORK/logs/$T" && { nice -n 19 "$BIN/$T" -workers=1 -jobs=1 "${ARGS[@]}" >runner.log 2>&1; echo $? >status; }) &
    PIDS+=($!)
  fi
done
for P in "${PIDS[@]}"; do wait "$P" || true; done

# Summary from each log's final statistics and last status line.
FOUND=0
echo "== summary"
for T in "${TARGETS[@]}"; do
  LOG="$WORK/logs/$T/fuzz-0.log"
  STATUS=$(cat "$WORK/logs/$T/status" 2>/dev/null || echo "?")
  RUNS=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$LOG" 2>/dev/null | tail -1 | awk '{print $2}' || true)
  SPEED=$(grep -o 'stat::average_exec_per_sec: [0-9]*' "$LOG" 2>/dev/null | tail -1 | awk '{print $2}' || true)
  LAST=$(grep -E '^#[0-9]+' "$LOG" 2>/dev/null | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9A-Za-z]+' || true)
  NFIND=$(find "$WORK/findings/$T" -type f | wc -l)
  echo "$T: executions ${RUNS:-?}, exec/s ${SPEED:-?}, ${LAST:-no status line}," \
    "corpus files $(find "$WORK/corpus/$T" -type f | wc -l), findings $NFIND, exit status $STATUS"
  if [ "$NFIND" -gt 0 ] || [ "$STATUS" != 0 ]; then
    FOUND=1
    find "$WORK/findings/$T" -type f | sed 's/^/    finding: /'
    if [ "$FOREGROUND" -eq 0 ]; then
      echo "---- last lines of $LOG"
      tail -n 40 "$LOG" 2>/dev/null || tail -n 40 "$WORK/logs/$T/runner.log" 2>/dev/null || true
      echo "----"
    fi
  fi
done
exit "$FOUND"
