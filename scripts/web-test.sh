#!/usr/bin/env bash
# Checks the showcase page in headless Chromium and runs lumora's test suite compiled to
# WebAssembly under Node.js. See --help.
set -euo pipefail

LUMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PROG="scripts/web-test.sh"
BUILD="$LUMORA_ROOT/build-web"
OUT="$BUILD/test"
GOLDEN="$LUMORA_ROOT/tests/golden/showcase.hashes"

# Tests of the suite that WebAssembly cannot run (a ctest regular expression), and why.
NODE_EXCLUDE='^(FontLoad\.NamedPipesLoadLikeRegularFiles|PictureLoad\.StreamsThatCannotSeek|Canvas\.IndependentCanvasesOnIndependentThreads|InstallAndUseFromAnotherProject|FuzzSeeds\.PictureSeedsLoadOrGetTheirCodeAndRunClean)$'
# The test programs --quick builds and runs: the span kernels (exhaustively), the platform
# and display, the per-frame player, the exact arithmetic, the picture loader and display,
# and the scenes. Building is most of the suite's time; the whole suite has twice as many.
QUICK_TARGETS=(test_blend test_display test_driver test_extended test_pictures test_scenes)

usage() {
  cat <<EOF
Usage: $PROG [--quick] [--jobs N]
       $PROG --help

Checks lumora in the browser and under Node.js, on Debian 12:
  1. Installs what is missing with apt-get (through sudo when not root): emscripten,
     node-acorn, chromium, imagemagick (to compare screenshots), googletest (its
     sources), cmake, libxxhash-dev, zlib1g-dev and g++.
  2. Builds the page (scripts/web.sh) and, natively into build-web/native/,
     lumora-record, which renders the reference stills.
  3. Serves build-web/ on 127.0.0.1 (web/serve.py, a free port) and starts headless
     Chromium with a fresh profile, driven through the DevTools protocol by
     web/browser_check.py:
     a. normal play: screenshots at 3, 40 and 80 s (build-web/test/play-*.png). Each must
        show its scene, introduction, primitives and images: the page reports the part
        and step it shows just before and after the screenshot, and the canvas in the
        screenshot must equal, pixel for pixel, lumora-record's still of that scene at one
        of the steps in between;
     b. index.html?hashes=1: the hash list of every frame, played on the virtual clock in
        the page, must equal tests/golden/showcase.hashes line for line; prints each
        scene's median frame time in Chromium (build-web/test/browser-times.txt).
  4. Builds GoogleTest with emcc (build-web/googletest/) and lumora's test suite as
     WebAssembly for Node.js (build-web/tests/: -sSINGLE_FILE, -sNODERAWFS so that the
     tests read and write real files, WebAssembly SIMD128), in the background while the
     browser plays (3a; the hash run 3b waits for it, so that its frame times are not
     disturbed), and runs it with ctest under node. Not built, as in the cross builds: the recorder's tests and the golden-hash
     tests (lumora-record needs zlib, which this Emscripten has no port of; step 3b does
     the golden comparison in the browser instead), the FreeType and MPFR cross-checks,
     the examples' runs and the tests that call ImageMagick or ffmpeg. Left out of the
     run: tests of named pipes and threads (FontLoad.NamedPipesLoadLikeRegularFiles,
     PictureLoad.StreamsThatCannotSeek, Canvas.IndependentCanvasesOnIndependentThreads:
     the module is built without threads, and Node.js's file system has no FIFOs),
     InstallAndUseFromAnotherProject (a packaging check for the native toolchains:
     Emscripten's CMake finds packages only in its own sysroot) and
     FuzzSeeds.PictureSeedsLoadOrGetTheirCodeAndRunClean (its reference scales in long
     double, the x87's 64-bit format only on x86: WebAssembly's has 113 bits, so 25/22 x 11
     lands above 12.5 and rounds to 13 where the library, which computes as the x87 does,
     lands on 12.5 and rounds to even, 12; the same on any target without the x87).

The exit status is 0 only when every check passed; 1 when one failed, 2 for a bad
command line. Progress is printed as each step runs. From an empty build-web/ on 2 cores
the whole run took 10.5 minutes, --quick 6.5; a second run rebuilds only what changed.

Options:
  --quick     for CI: in step 4 only the test programs
              ${QUICK_TARGETS[*]};
              steps 1 to 3 in full
  --jobs N    parallel build and test jobs (default 2)
  -h, --help  show this help
EOF
}

die() { echo "$PROG: error: $*" >&2; exit 1; }
bad_usage() { echo "$PROG: $*" >&2; echo "Try '$PROG --help'." >&2; exit 2; }
duration() { printf '%dm %02ds' $(($1 / 60)) $(($1 % 60)); }

QUICK=0
JOBS=2
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --quick) QUICK=1 ;;
    --jobs)
      [ $# -ge 2 ] || bad_usage "--jobs needs a number"
      JOBS="$2"; shift ;;
    --jobs=*) JOBS="${1#--jobs=}" ;;
    *) bad_usage "unknown argument '$1'" ;;
  esac
  shift
done
[[ "$JOBS" =~ ^[1-9][0-9]*$ ]] || bad_usage "--jobs needs a positive number, not '$JOBS'"
[ -f "$GOLDEN" ] || die "missing $GOLDEN"

TOTAL_START=$SECONDS
FAILED=()
fail() { echo "FAILED: $*"; FAILED+=("$*"); }

# ------------------------------------------------------------------ 1. packages
source "$LUMORA_ROOT/scripts/deps.sh"
echo "== web-test: packages"
lumora_install_deps emscripten node-acorn chromium imagemagick googletest cmake g++ \
  libxxhash-dev zlib1g-dev || die "could not install the packages"
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
CHROMIUM="$(command -v chromium)" || die "no chromium after installing it"
MAGICK_COMPARE=/usr/bin/compare
MAGICK_CONVERT=/usr/bin/convert
[ -x "$MAGICK_COMPARE" ] && [ -x "$MAGICK_CONVERT" ] || die "ImageMagick's compare and convert are missing"

# ------------------------------------------------------------------ 2. builds
STEP_START=$SECONDS
"$LUMORA_ROOT/scripts/web.sh" build --jobs "$JOBS" || die "building the page failed"
echo "== web-test: lumora-record, natively, into build-web/native/"
NATIVE="$BUILD/native"
cmake -S "$LUMORA_ROOT" -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release -DLUMORA_WITH_SDL=OFF \
  -DLUMORA_BUILD_TESTS=OFF -DLUMORA_BUILD_BENCH=OFF -DLUMORA_BUILD_EXAMPLES=OFF \
  -DLUMORA_BUILD_TOOLS=ON -DCMAKE_DISABLE_FIND_PACKAGE_Freetype=ON >"$BUILD/native-configure.log" 2>&1 ||
  { cat "$BUILD/native-configure.log" >&2; die "configuring build-web/native failed (log above)"; }
cmake --build "$NATIVE" --target lumora-record -j"$JOBS" >"$BUILD/native-build.log" 2>&1 ||
  { tail -30 "$BUILD/native-build.log" >&2; die "building lumora-record failed (log above)"; }
RECORD="$NATIVE/bin/lumora-record"
BUILD_TIME=$((SECONDS - STEP_START))
echo "builds took $(duration $BUILD_TIME)"

# ------------------------------------------------------------------ 4a. the suite's build
# GoogleTest with emcc, then the test suite as WebAssembly for Node.js. Runs in the
# background while the browser plays (which mostly waits); its output goes to a log.
TESTS="$BUILD/tests"
GTEST_PREFIX="$BUILD/googletest/install"
NODE_LINK="-msimd128 -sSINGLE_FILE=1 -sNODERAWFS=1 -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1"
build_node_tests() {
  if [ ! -f "$GTEST_PREFIX/lib/cmake/GTest/GTestConfig.cmake" ]; then
    echo "== GoogleTest for WebAssembly, into build-web/googletest/"
    emcmake cmake -S /usr/src/googletest -B "$BUILD/googletest/build" -DCMAKE_BUILD_TYPE=Release \
      -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=ON -DCMAKE_INSTALL_PREFIX="$GTEST_PREFIX" \
      -DCMAKE_INSTALL_LIBDIR=lib &&
      cmake --build "$BUILD/googletest/build" -j"$JOBS" &&
      cmake --install "$BUILD/googletest/build" || { echo "building GoogleTest with emcc failed"; return 1; }
  fi
  echo "== the test suite as WebAssembly, into build-web/tests/"
  emcmake cmake -S "$LUMORA_ROOT" -B "$TESTS" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" -DCMAKE_CXX_FLAGS=-msimd128 \
    -DCMAKE_EXE_LINKER_FLAGS="$NODE_LINK" -DLUMORA_WITH_SDL=OFF -DLUMORA_BUILD_TOOLS=OFF \
    -DLUMORA_BUILD_BENCH=OFF -DLUMORA_BUILD_EXAMPLES=OFF -DLUMORA_BUILD_SHOWCASE=ON \
    -DLUMORA_BUILD_TESTS=ON -DCMAKE_DISABLE_FIND_PACKAGE_Freetype=ON \
    -DGTest_DIR="$GTEST_PREFIX/lib/cmake/GTest" || { echo "configuring build-web/tests failed"; return 1; }
  if [ $QUICK -eq 1 ]; then
    local TARGET_ARGS=()
    for T in "${QUICK_TARGETS[@]}"; do TARGET_ARGS+=(--target "$T"); done
    cmake --build "$TESTS" "${TARGET_ARGS[@]}" -j"$JOBS" || { echo "building the test programs failed"; return 1; }
  else
    cmake --build "$TESTS" -j"$JOBS" || { echo "building the test suite failed"; return 1; }
  fi
}

NODE_LOG="$BUILD/tests-build.log"
echo "== web-test: building the test suite for Node.js in the background (log: build-web/tests-build.log)"
NODE_BUILD_START=$SECONDS
# Its own process group (job control), so that an interrupted run can stop all of it.
set -m
build_node_tests >"$NODE_LOG" 2>&1 &
NODE_BUILD_PID=$!
set +m
SERVER_PID=""
cleanup() {
  [ -z "$SERVER_PID" ] || kill "$SERVER_PID" 2>/dev/null || true
  kill -- "-$NODE_BUILD_PID" 2>/dev/null || true
}
trap cleanup EXIT INT TERM

# ------------------------------------------------------------------ 3. browser
rm -rf "$OUT"
mkdir -p "$OUT"
PORT_FILE="$OUT/port"
python3 "$LUMORA_ROOT/web/serve.py" --dir "$BUILD" --port 0 --port-file "$PORT_FILE" >"$OUT/server.log" 2>&1 &
SERVER_PID=$!
for _ in $(seq 50); do [ -s "$PORT_FILE" ] && break; sleep 0.1; done
[ -s "$PORT_FILE" ] || { cat "$OUT/server.log" >&2; die "the server did not start"; }
URL="http://127.0.0.1:$(cat "$PORT_FILE")/index.html"

echo "== web-test: normal play in Chromium, screenshots at 3, 40 and 80 s ($URL)"
STEP_START=$SECONDS
PLAY_OK=1
python3 "$LUMORA_ROOT/web/browser_check.py" play --url "$URL" --out "$OUT" --seconds 3,40,80 \
  --chromium "$CHROMIUM" || { PLAY_OK=0; fail "normal play in Chromium"; }

# Each screenshot against lumora-record's stills of its scene at the steps the page showed
# around it (a few steps before too: the browser may composite a frame presented just before).
if [ $PLAY_OK -eq 1 ]; then
  while read -r SECOND EXPECT PART1 STEP1 PART2 STEP2; do
    SHOT="$OUT/play-$(printf %03d "$SECOND")s.png"
    if [ "$PART1" != "$PART2" ]; then
      fail "at $SECOND s the page changed parts during the screenshot ($PART1 to $PART2): no reference"
      continue
    fi
    SCENE=$(echo "introduction primitives fonts images outro" | cut -d' ' -f$((PART1 + 1)))
    if [ "$PART1" -lt 0 ] || [ "$SCENE" != "$EXPECT" ]; then
      fail "at $SECOND s the page shows part $PART1 (step $STEP1), not the $EXPECT scene"
      continue
    fi
    FIRST=$((STEP1 > 6 ? STEP1 - 6 : 0))
    STILLS=()
    for S in $(seq "$FIRST" "$STEP2"); do STILLS+=(--still "$SCENE:$S:$OUT/still-$SCENE-$S.png"); done
    (cd "$NATIVE/bin" && "$RECORD" -q --no-video "${STILLS[@]}") >/dev/null ||
      { fail "lumora-record could not render the stills of $SCENE $FIRST..$STEP2"; continue; }
    "$MAGICK_CONVERT" "$SHOT" -crop 1024x768+0+0 +repage "$OUT/canvas-$SECOND.png"
    BEST=""; BEST_STEP=""
    for S in $(seq "$FIRST" "$STEP2"); do
      AE=$("$MAGICK_COMPARE" -metric AE "$OUT/still-$SCENE-$S.png" "$OUT/canvas-$SECOND.png" null: 2>&1 || true)
      AE=${AE%% *}
      if [[ "$AE" =~ ^[0-9]+$ ]] && { [ -z "$BEST" ] || [ "$AE" -lt "$BEST" ]; }; then BEST=$AE; BEST_STEP=$S; fi
    done
    if [ "$BEST" = 0 ]; then
      echo "  $SECOND s: the canvas is lumora-record's $SCENE step $BEST_STEP, pixel for pixel"
    else
      fail "at $SECOND s no still of $SCENE steps $FIRST..$STEP2 equals the canvas (closest: step $BEST_STEP, ${BEST:-?} pixels differ)"
    fi
  done < <(python3 - "$OUT/play.json" <<'EOF'
import json, sys
expect = {3: "introduction", 40: "primitives", 80: "images"}
for s in json.load(open(sys.argv[1]))["shots"]:
    print(s["second"], expect.get(s["second"], "?"), s["before"][0], s["before"][1], s["after"][0], s["after"][1])
EOF
)
fi
PLAY_TIME=$((SECONDS - STEP_START))

# ------------------------------------------------------------------ 4b. wait for the build
echo "== web-test: waiting for the test suite's build (timing the frames needs the processors)"
while kill -0 "$NODE_BUILD_PID" 2>/dev/null; do
  for _ in $(seq 30); do kill -0 "$NODE_BUILD_PID" 2>/dev/null && sleep 1; done
  if kill -0 "$NODE_BUILD_PID" 2>/dev/null; then
    echo "  ... $(duration $((SECONDS - NODE_BUILD_START))): $(grep -E '^\[ *[0-9]+%\]' "$NODE_LOG" | tail -1 | cut -c1-90)"
  fi
done
NODE_BUILD_OK=1
wait "$NODE_BUILD_PID" || NODE_BUILD_OK=0
NODE_BUILD_TIME=$((SECONDS - NODE_BUILD_START))
echo "  the test suite's build took $(duration $NODE_BUILD_TIME) (beside the browser checks)"

echo "== web-test: index.html?hashes=1 in Chromium"
STEP_START=$SECONDS
if python3 "$LUMORA_ROOT/web/browser_check.py" hashes --url "$URL" --out "$OUT" --chromium "$CHROMIUM"; then
  TOTAL=$(grep -c . "$GOLDEN")
  if cmp -s "$GOLDEN" "$OUT/browser.hashes"; then
    echo "  hashes equal to tests/golden/showcase.hashes: $TOTAL frames"
  else
    N=$( (diff <(cat -n "$GOLDEN") <(cat -n "$OUT/browser.hashes") || true) | grep -m1 -E '^[<>]' | awk '{print $2}')
    fail "the browser's hashes differ from tests/golden/showcase.hashes from line $N:
  expected: $(sed -n "${N}p" "$GOLDEN" | grep . || echo '(end of file)')
  got:      $(sed -n "${N}p" "$OUT/browser.hashes" | grep . || echo '(end of file)')"
  fi
  echo "  frame times in Chromium (build-web/test/browser-times.txt):"
  sed 's/^/    /' "$OUT/browser-times.txt"
else
  fail "the hash run in Chromium"
fi
HASH_TIME=$((SECONDS - STEP_START))
kill "$SERVER_PID" 2>/dev/null || true
wait "$SERVER_PID" 2>/dev/null || true
SERVER_PID=""

# ------------------------------------------------------------------ 4c. tests under Node.js
if [ $NODE_BUILD_OK -eq 0 ]; then
  tail -40 "$NODE_LOG" >&2
  die "the test suite's build failed (log above, whole in build-web/tests-build.log)"
fi
EXCLUDE="$NODE_EXCLUDE"
# ctest lists a program that was not built as one test, <program>_NOT_BUILT.
[ $QUICK -eq 0 ] || EXCLUDE="$NODE_EXCLUDE|_NOT_BUILT\$"
echo "== web-test: the test suite under node ($(node --version))"
STEP_START=$SECONDS
CTEST_ARGS=(--test-dir "$TESTS" --output-on-failure -j"$JOBS" --timeout 1200 -E "$EXCLUDE")
TEST_LOG="$BUILD/tests-ctest.log"
TESTS_OK=1
ctest "${CTEST_ARGS[@]}" 2>&1 | tee "$TEST_LOG" | grep -E "^ *[0-9]+/[0-9]+ Test|tests passed|FAILED|Failed" || true
grep -qE '^100% tests passed' "$TEST_LOG" || TESTS_OK=0
NODE_SUMMARY="$(grep -E 'tests passed, [0-9]+ tests failed out of' "$TEST_LOG" | tail -1 || true)"
[ -n "$NODE_SUMMARY" ] || { NODE_SUMMARY="ctest ran no tests"; TESTS_OK=0; }
[ $TESTS_OK -eq 1 ] || fail "the test suite under node: $NODE_SUMMARY"
NODE_TEST_TIME=$((SECONDS - STEP_START))

# ------------------------------------------------------------------ summary
echo "== web-test summary ($([ $QUICK -eq 1 ] && echo quick || echo full))"
echo "builds (page, lumora-record): $(duration $BUILD_TIME)"
echo "normal play and screenshots: $(duration $PLAY_TIME)"
echo "hash run in Chromium: $(duration $HASH_TIME)"
echo "test suite under node: build $(duration $NODE_BUILD_TIME), run $(duration $NODE_TEST_TIME): $NODE_SUMMARY"
echo "all: $(duration $((SECONDS - TOTAL_START)))"
if [ ${#FAILED[@]} -eq 0 ]; then
  echo "web: everything passed"
  exit 0
fi
echo "web: FAILED (${#FAILED[@]}):"
printf '  %s\n' "${FAILED[@]}"
exit 1
