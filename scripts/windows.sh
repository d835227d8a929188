#!/usr/bin/env bash
# Cross-builds lumora for 64-bit Windows with MinGW-w64 on Debian, runs the tests and the
# golden-hash check under Wine, checks the showcase's window on a virtual X display and
# packages the result. See --help.
set -euo pipefail

LUMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PROG="scripts/windows.sh"

# Tests left out by --quick (a ctest regular expression), and why. The whole presentation is
# still compared frame by frame: by the lumora-record run that follows the tests.
QUICK_EXCLUDE='^(Golden\.|LineTest\.EmptyViewportDrawsNothing$|Extended\.NearHalvesRoundAsTheX87$)'
QUICK_REASON="Golden.* replays the whole presentation three times over (the lumora-record run
              compares it anyway); LineTest.EmptyViewportDrawsNothing and
              Extended.NearHalvesRoundAsTheX87 are exhaustive sweeps (about 45 s and 15 s of
              the roughly 70 s the whole suite takes under Wine)"

# The virtual screen of the window check: not 4:3, so the frame gets black bars.
XVFB_WIDTH=1280
XVFB_HEIGHT=1024

usage() {
  cat <<EOF
Usage: $PROG [--quick] [--package] [--no-window] [--jobs N]
       $PROG --help

Cross-builds lumora for 64-bit Windows on Debian 12 (x86-64) with MinGW-w64 and runs it
under Wine.

Steps:
  1. Installs what is missing with apt-get (through sudo when not root; apt-get update
     first): g++-mingw-w64-x86-64-posix, mingw-w64, libz-mingw-w64-dev (zlib for the target),
     wine64, wine, googletest (GoogleTest's sources), libxxhash-dev (xxhash.h), cmake; for
     the window check also xvfb, xdotool and imagemagick. GoogleTest is built for Windows
     from /usr/src/googletest into build-windows/googletest (no package serves it).
  2. Configures and builds build-windows/ at the repository root with
     cmake/toolchains/x86_64-w64-mingw32.cmake (static .exe files that need no DLLs): the
     library with its Win32 window, lumorashowcase.exe, lumora-record.exe (PNG frames,
     stills and hashes; no video on Windows), lumora-fnt.exe and the tests, in Release,
     without FreeType (no lumora-mkfnt, no FreeType tests) and without benchmarks.
  3. Runs the test suite with ctest under Wine (WINEPREFIX=build-windows/wineprefix,
     WINEDEBUG=-all, no DISPLAY). Left out (the configure step lists them): tests that
     call ImageMagick or ffmpeg on the build machine (a cross build's default), and
     RecordTool.FailsClearlyAndLeavesNothingBehind, which drives lumora-record through
     POSIX shell lines. Skipped on Windows: the named-pipe and address-space tests, and
     the x87 oracle of PolarToCartesian (MinGW's sinl is the bare fsin). Prints how long
     the tests took.
  4. Runs "lumora-record.exe --no-video -q --hashes FILE" under Wine for the whole
     presentation (FILE is build-windows/showcase.hashes) and compares it line by line
     with tests/golden/showcase.hashes. A progress line every 30 seconds.
  5. The window: starts Xvfb (${XVFB_WIDTH} x ${XVFB_HEIGHT}), runs lumorashowcase.exe under Wine,
     finds the window titled "Lumora Showcase", takes a screenshot after five seconds
     (build-windows/showcase-window.png) and checks that the introduction's title shows
     bright in its place, that the frame's surroundings are dark and the bars black;
     then presses Escape and expects exit code 0 within a second. Skipped, with a
     message, when Xvfb, xdotool or ImageMagick cannot be had, or with --no-window.
  6. With --package: installs the build into a staging folder and writes
     build-windows/lumora-windows.zip: lumorashowcase.exe, Fonts/, Pictures/, README.txt,
     bin/ (lumora-record.exe, lumora-fnt.exe), include/lumora/, lib/liblumora.a,
     lib/cmake/lumora/ and lib/pkgconfig/lumora.pc. Then unpacks the zip, builds a small
     program against the unpacked library with CMake and pkg-config and runs it under
     Wine, and runs the unpacked showcase as in step 5 (without a virtual display: checks
     that it finds its Fonts/ and Pictures/ and refuses with exit code 1).

The exit status is 0 only when every step passed (a skipped window check does not fail);
1 when something failed, 2 for a bad command line.

Options:
  --quick      for CI: ctest -E '$QUICK_EXCLUDE'.
               Left out: $QUICK_REASON.
               The golden-hash comparison and the window check still run.
  --package    also write and check build-windows/lumora-windows.zip (step 6)
  --no-window  leave out the window check (step 5)
  --jobs N     parallel build and test jobs (default: the number of processors)
  -h, --help   show this help

MSVC builds are not tested.
EOF
}

die() { echo "$PROG: error: $*" >&2; exit 1; }
bad_usage() { echo "$PROG: $*" >&2; echo "Try '$PROG --help'." >&2; exit 2; }

# Prints seconds as "12m 34s".
duration() { printf '%dm %02ds' $(($1 / 60)) $(($1 % 60)); }

QUICK=0
PACKAGE=0
WINDOW=1
JOBS="$(nproc)"
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --quick) QUICK=1 ;;
    --package) PACKAGE=1 ;;
    --no-window) WINDOW=0 ;;
    --jobs)
      [ $# -ge 2 ] || bad_usage "--jobs needs a number"
      JOBS="$2"; shift ;;
    --jobs=*) JOBS="${1#--jobs=}" ;;
    *) bad_usage "unknown argument $1" ;;
  esac
  shift
done
[[ "$JOBS" =~ ^[1-9][0-9]*$ ]] || bad_usage "--jobs needs a positive number, not '$JOBS'"

TRIPLE=x86_64-w64-mingw32
BUILD="$LUMORA_ROOT/build-windows"
BIN="$BUILD/bin"
TOOLCHAIN="$LUMORA_ROOT/cmake/toolchains/$TRIPLE.cmake"
GOLDEN="$LUMORA_ROOT/tests/golden/showcase.hashes"
HASHES="$BUILD/showcase.hashes"
README_TXT="$LUMORA_ROOT/packaging/windows/README.txt"
[ -f "$TOOLCHAIN" ] || die "missing toolchain file $TOOLCHAIN"
[ -f "$GOLDEN" ] || die "missing $GOLDEN"
[ -f "$README_TXT" ] || die "missing $README_TXT"

source "$LUMORA_ROOT/scripts/deps.sh"

SECONDS=0
# What each step came to, for the summary; "-" when a step did not run.
TESTS_RESULT="-"
HASH_RESULT="-"
WINDOW_RESULT="-"
PACKAGE_RESULT="-"
FAILED=0

# Processes this script started, ended on the way out: Xvfb and a showcase still running.
XVFB_PID=""
SHOWCASE_PID=""
WINESERVER_STARTED=0
cleanup() {
  if [ -n "$SHOWCASE_PID" ] && kill -0 "$SHOWCASE_PID" 2>/dev/null; then
    kill "$SHOWCASE_PID" 2>/dev/null || true
  fi
  # The prefix under build-windows/ is this script's: its server and programs end with it.
  if [ $WINESERVER_STARTED -eq 1 ]; then WINEPREFIX="$BUILD/wineprefix" wineserver -k 2>/dev/null || true; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# ------------------------------------------------------------------ 1. packages
echo "== windows: packages"
if [ "$(dpkg --print-architecture)" != amd64 ]; then
  die "this script cross-builds from Debian amd64 (x86-64); this machine is $(dpkg --print-architecture)"
fi
lumora_install_deps cmake make pkg-config g++-mingw-w64-x86-64-posix mingw-w64 \
  libz-mingw-w64-dev wine64 wine googletest libxxhash-dev ||
  die "could not install the packages for the Windows build"
command -v wine >/dev/null || die "wine is installed but not on the PATH"
[ -f /usr/include/xxhash.h ] || die "missing /usr/include/xxhash.h (package libxxhash-dev)"

HAVE_WINDOW_TOOLS=0
if [ $WINDOW -eq 1 ]; then
  if lumora_install_deps xvfb xdotool imagemagick && command -v Xvfb >/dev/null &&
     command -v xdotool >/dev/null && command -v import >/dev/null && command -v convert >/dev/null; then
    HAVE_WINDOW_TOOLS=1
  else
    echo "$PROG: warning: Xvfb, xdotool or ImageMagick cannot be had: the window check is skipped" >&2
  fi
fi

# GoogleTest for the target, from Debian's sources.
GTEST_PREFIX="$BUILD/googletest/install"
if [ ! -f "$GTEST_PREFIX/lib/cmake/GTest/GTestConfig.cmake" ]; then
  echo "Building GoogleTest for Windows from /usr/src/googletest"
  mkdir -p "$BUILD/googletest"
  LOG="$BUILD/googletest/build.log"
  { cmake -S /usr/src/googletest -B "$BUILD/googletest/build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$GTEST_PREFIX" \
      -DCMAKE_INSTALL_LIBDIR=lib &&
    cmake --build "$BUILD/googletest/build" -j"$JOBS" &&
    cmake --install "$BUILD/googletest/build"; } >"$LOG" 2>&1 ||
    { tail -30 "$LOG" >&2; die "building GoogleTest for Windows failed (log: $LOG)"; }
fi

# xxHash is used header-only. Its header is taken alone: /usr/include as an include folder
# would put the build machine's C library headers before MinGW's.
mkdir -p "$BUILD/xxhash"
cp /usr/include/xxhash.h "$BUILD/xxhash/xxhash.h"

# ------------------------------------------------------------------ 2. build
echo "== windows: configuring $BUILD"
CONFIGURE_LOG="$BUILD/windows-configure.log"
cmake -S "$LUMORA_ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
  -DLUMORA_WITH_SDL=OFF -DLUMORA_BUILD_BENCH=OFF -DLUMORA_FUZZ=OFF -DLUMORA_SANITIZE=OFF \
  -DLUMORA_BUILD_TOOLS=ON -DLUMORA_BUILD_TESTS=ON -DLUMORA_BUILD_SHOWCASE=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_Freetype=ON \
  -DGTest_DIR="$GTEST_PREFIX/lib/cmake/GTest" -DLUMORA_XXHASH_INCLUDE="$BUILD/xxhash" \
  >"$CONFIGURE_LOG" 2>&1 ||
  { cat "$CONFIGURE_LOG" >&2; die "configuring the Windows build failed (log above)"; }
grep -E 'left out|not built' "$CONFIGURE_LOG" || true

echo "== windows: building with $JOBS jobs"
START=$SECONDS
cmake --build "$BUILD" -j"$JOBS" || die "the Windows build failed"
echo "built in $(duration $((SECONDS - START)))"

# ------------------------------------------------------------------ Wine
export WINEPREFIX="$BUILD/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No dialog offering to install Mono or Gecko, which nothing here needs.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX (takes a while the first time)"
  env -u DISPLAY wineboot -i >"$BUILD/wineboot.log" 2>&1 ||
    { cat "$BUILD/wineboot.log" >&2; die "creating the Wine prefix failed"; }
  wineserver -w
fi
# One Wine session for the whole run, kept alive between programs: a program started while
# the prefix's server shuts down can fail to start at all. Its helper processes are started
# here with no terminal or pipe of ours: started by a test, they would hold the test's output
# pipe open and ctest would wait for them.
start_wine_session() {
  wineserver -p </dev/null >/dev/null 2>&1
  WINESERVER_STARTED=1
  wineboot </dev/null >/dev/null 2>&1
}
env -u DISPLAY bash -c "$(declare -f start_wine_session); start_wine_session"
WINESERVER_STARTED=1
# The tests and the recorder run without a display, whatever this session has.
WINE_HEADLESS=(env -u DISPLAY -u WAYLAND_DISPLAY)

# ------------------------------------------------------------------ 3. tests
CTEST_ARGS=(--test-dir "$BUILD" --output-on-failure -j"$JOBS" --timeout 1200)
if [ $QUICK -eq 1 ]; then
  CTEST_ARGS+=(-E "$QUICK_EXCLUDE")
  echo "== windows: tests under Wine, quick: leaving out tests matching $QUICK_EXCLUDE"
else
  echo "== windows: tests under Wine, the whole suite"
fi
TEST_LOG="$BUILD/windows-ctest.log"
START=$SECONDS
TESTS_OK=1
"${WINE_HEADLESS[@]}" ctest "${CTEST_ARGS[@]}" 2>&1 | tee "$TEST_LOG" || TESTS_OK=0
TEST_TIME=$((SECONDS - START))
TEST_SUMMARY="$(grep -E 'tests passed, [0-9]+ tests failed out of' "$TEST_LOG" | tail -1 || true)"
[ -n "$TEST_SUMMARY" ] || { TEST_SUMMARY="ctest ran no tests"; TESTS_OK=0; }
SKIPPED="$(grep -c -- '\*\*\*Skipped' "$TEST_LOG" || true)"
echo "tests under Wine took $(duration $TEST_TIME): $TEST_SUMMARY ($SKIPPED skipped)"
TESTS_RESULT="$(duration $TEST_TIME), $TEST_SUMMARY ($SKIPPED skipped)"
[ $TESTS_OK -eq 1 ] || FAILED=1

# ------------------------------------------------------------------ 4. golden hashes
TOTAL=$(grep -c . "$GOLDEN")
echo "== windows: lumora-record.exe --hashes under Wine, the whole presentation ($TOTAL frames)"
rm -f "$HASHES"
START=$SECONDS
(cd "$BIN" && exec "${WINE_HEADLESS[@]}" wine ./lumora-record.exe --no-video -q --hashes "$HASHES") &
RECORD_PID=$!
while kill -0 "$RECORD_PID" 2>/dev/null; do
  for _ in $(seq 30); do kill -0 "$RECORD_PID" 2>/dev/null && sleep 1; done
  if kill -0 "$RECORD_PID" 2>/dev/null; then
    DONE=$( { [ -f "$HASHES" ] && wc -l <"$HASHES"; } || echo 0)
    echo "  ... $(duration $((SECONDS - START))), about $DONE of $TOTAL frames"
  fi
done
HASH_OK=1
STATUS=0
wait "$RECORD_PID" || STATUS=$?
[ $STATUS -eq 0 ] || { HASH_OK=0; echo "lumora-record.exe failed (exit status $STATUS)"; }
HASH_TIME=$((SECONDS - START))
if [ $HASH_OK -eq 1 ]; then
  if cmp -s "$GOLDEN" "$HASHES"; then
    echo "hashes equal to tests/golden/showcase.hashes: $TOTAL frames in $(duration $HASH_TIME)"
  else
    HASH_OK=0
    echo "hashes DIFFER from tests/golden/showcase.hashes ($(duration $HASH_TIME)):"
    # The first line where they differ, from each file (a missing line: end of file).
    N=$( (diff <(cat -n "$GOLDEN") <(cat -n "$HASHES") || true) | grep -m1 -E '^[<>]' | awk '{print $2}')
    echo "  line $N of tests/golden/showcase.hashes: $(sed -n "${N}p" "$GOLDEN" | grep . || echo '(end of file)')"
    echo "  line $N of ${HASHES#"$LUMORA_ROOT"/}: $(sed -n "${N}p" "$HASHES" | grep . || echo '(end of file)')"
    echo "  ($(wc -l <"$HASHES") lines written, $(wc -l <"$GOLDEN") expected)"
  fi
fi
HASH_RESULT="$([ $HASH_OK -eq 1 ] && echo equal || echo 'NOT equal or not written'), $TOTAL frames, $(duration $HASH_TIME)"
[ $HASH_OK -eq 1 ] || FAILED=1

# ------------------------------------------------------------------ 5. the window
# The fraction (0 to 1) of pixels of IMAGE in the rectangle WxH+X+Y brighter than LEVEL%.
bright_fraction() {
  convert "$1" -crop "$2" +repage -colorspace Gray -threshold "$3%" -format '%[fx:mean]' info:
}

# Where a rectangle of the 1024 x 768 frame shows on the virtual screen: the frame is
# scaled to the largest size that fits with its aspect kept, and centred.
FRAME_W=$XVFB_WIDTH
FRAME_H=$((XVFB_WIDTH * 768 / 1024))
if [ $((XVFB_WIDTH * 768)) -gt $((XVFB_HEIGHT * 1024)) ]; then
  FRAME_H=$XVFB_HEIGHT
  FRAME_W=$((XVFB_HEIGHT * 1024 / 768))
fi
FRAME_X=$(((XVFB_WIDTH - FRAME_W) / 2))
FRAME_Y=$(((XVFB_HEIGHT - FRAME_H) / 2))
screen_rect() {  # X Y W H of the frame -> WxH+X+Y on the screen
  echo "$(($3 * FRAME_W / 1024))x$(($4 * FRAME_H / 768))+$((FRAME_X + $1 * FRAME_W / 1024))+$((FRAME_Y + $2 * FRAME_H / 768))"
}

# Starts Xvfb on a free display number; sets XVFB_PID and XVFB_DISPLAY.
start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  XVFB_DISPLAY=":$n"
  Xvfb "$XVFB_DISPLAY" -screen 0 "${XVFB_WIDTH}x${XVFB_HEIGHT}x24" -nolisten tcp >"$BUILD/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do
    DISPLAY="$XVFB_DISPLAY" xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  echo "Xvfb did not start on $XVFB_DISPLAY:"
  cat "$BUILD/xvfb.log"
  return 1
}

# Runs DIR/lumorashowcase.exe on the virtual display, checks its window and its screenshot
# (saved as SHOT), presses Escape and checks the exit. Prints what it finds; 0 when all holds.
check_window() {
  local dir="$1" shot="$2" ok=0 wid="" status
  local log="$BUILD/showcase-window.log"
  (cd "$dir" && DISPLAY="$XVFB_DISPLAY" exec wine ./lumorashowcase.exe) >"$log" 2>&1 &
  SHOWCASE_PID=$!
  for _ in $(seq 300); do
    wid=$(DISPLAY="$XVFB_DISPLAY" xdotool search --name '^Lumora Showcase$' 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    kill -0 "$SHOWCASE_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$wid" ]; then
    echo "  no window titled 'Lumora Showcase' appeared within 30 s; the showcase said:"
    sed 's/^/    /' "$log"
    return 1
  fi
  echo "  window $wid: $(DISPLAY="$XVFB_DISPLAY" xdotool getwindowgeometry "$wid" | tail -1 | sed 's/^ *//')"
  sleep 5
  DISPLAY="$XVFB_DISPLAY" import -window root "$shot" || { echo "  cannot take the screenshot"; return 1; }
  echo "  screenshot: ${shot#"$LUMORA_ROOT"/}"
  # The title "Lumora", white, 64 points, centred on row 100 of the frame; nothing is drawn
  # left of column 280 between rows 300 and 680; the bars outside the frame stay black.
  local title dark bars=0 r
  title=$(bright_fraction "$shot" "$(screen_rect 300 100 424 100)" 50)
  dark=$(bright_fraction "$shot" "$(screen_rect 0 300 280 380)" 20)
  echo "  bright pixels: title area $title (at least 0.04 wanted), empty area $dark (0 wanted)"
  awk -v t="$title" -v d="$dark" 'BEGIN { exit !(t >= 0.04 && d == 0) }' || ok=1
  if [ "$FRAME_Y" -gt 0 ]; then
    for r in "${XVFB_WIDTH}x${FRAME_Y}+0+0" "${XVFB_WIDTH}x${FRAME_Y}+0+$((FRAME_Y + FRAME_H))"; do
      bars=$(bright_fraction "$shot" "$r" 2)
      echo "  bar $r: $bars of its pixels not black (0 wanted)"
      awk -v b="$bars" 'BEGIN { exit !(b == 0) }' || ok=1
    done
  fi
  # Escape on the keyboard of the virtual display, which the window has.
  DISPLAY="$XVFB_DISPLAY" xdotool windowfocus "$wid" >/dev/null 2>&1 || true
  local start ms=0
  start=$(date +%s%N)
  DISPLAY="$XVFB_DISPLAY" xdotool key Escape
  while kill -0 "$SHOWCASE_PID" 2>/dev/null && [ $ms -le 1000 ]; do
    sleep 0.02
    ms=$((($(date +%s%N) - start) / 1000000))
  done
  if kill -0 "$SHOWCASE_PID" 2>/dev/null; then
    echo "  the showcase still runs one second after Escape"
    return 1
  fi
  ms=$((($(date +%s%N) - start) / 1000000))
  status=0
  wait "$SHOWCASE_PID" || status=$?
  SHOWCASE_PID=""
  echo "  Escape: the showcase ended within $ms ms with exit code $status (0 within 1000 ms wanted)"
  [ "$status" -eq 0 ] || ok=1
  if [ $ok -ne 0 ]; then
    echo "  the showcase said:"
    sed 's/^/    /' "$log"
  fi
  return $ok
}

if [ $WINDOW -eq 1 ] && [ $HAVE_WINDOW_TOOLS -eq 1 ]; then
  echo "== windows: lumorashowcase.exe under Wine on a virtual ${XVFB_WIDTH} x ${XVFB_HEIGHT} display"
  # Wine's desktop process, started by the programs before without a display, would keep
  # every later window off the screen: a fresh server starts one on the virtual display.
  wineserver -k 2>/dev/null || true
  wineserver -w
  if start_xvfb && DISPLAY="$XVFB_DISPLAY" start_wine_session && check_window "$BIN" "$BUILD/showcase-window.png"; then
    WINDOW_RESULT="passed (screenshot build-windows/showcase-window.png)"
  else
    WINDOW_RESULT="FAILED"
    FAILED=1
  fi
  echo "window check: $WINDOW_RESULT"
elif [ $WINDOW -eq 1 ]; then
  WINDOW_RESULT="skipped: no Xvfb, xdotool or ImageMagick"
else
  WINDOW_RESULT="skipped (--no-window)"
fi

# ------------------------------------------------------------------ 6. package
package() {
  local stage="$BUILD/package" zip="$BUILD/lumora-windows.zip" check="$BUILD/package-check"
  local top="$stage/lumora-windows"
  rm -rf "$stage" "$zip" "$check"
  mkdir -p "$top"
  cmake --install "$BUILD" --prefix "$top" >"$BUILD/package-install.log" 2>&1 ||
    { cat "$BUILD/package-install.log"; echo "cmake --install failed"; return 1; }
  cp "$BIN/lumorashowcase.exe" "$top/"
  cp -r "$BIN/Fonts" "$BIN/Pictures" "$top/"
  # Windows line ends, for any editor there.
  sed 's/$/\r/' "$README_TXT" >"$top/README.txt"
  (cd "$stage" && cmake -E tar cf "$zip" --format=zip lumora-windows) || { echo "cannot write $zip"; return 1; }
  echo "  wrote ${zip#"$LUMORA_ROOT"/} ($(du -k "$zip" | cut -f1) KiB, $(cd "$stage" && find lumora-windows -type f | wc -l) files)"

  # The zip as a user gets it: unpacked elsewhere.
  mkdir -p "$check"
  (cd "$check" && cmake -E tar xf "$zip") || { echo "cannot unpack $zip"; return 1; }
  local unpacked="$check/lumora-windows" f missing=0
  for f in lumorashowcase.exe README.txt Fonts Pictures bin/lumora-record.exe include/lumora/lumora.h \
           lib/liblumora.a lib/cmake/lumora/lumoraConfig.cmake lib/pkgconfig/lumora.pc; do
    [ -e "$unpacked/$f" ] || { echo "  missing from the zip: $f"; missing=1; }
  done
  [ $missing -eq 0 ] || return 1
  echo "  unpacked into ${check#"$LUMORA_ROOT"/}: every expected file is there"

  # A program of its own against the unpacked library, through CMake and pkg-config.
  local consumer="$check/consumer" app
  if ! { cmake -S "$LUMORA_ROOT/tests/install/consumer" -B "$consumer" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
           -DCMAKE_PREFIX_PATH="$unpacked" && cmake --build "$consumer"; } >"$check/consumer.log" 2>&1; then
    tail -30 "$check/consumer.log"
    echo "  building a program against the unpacked library failed"
    return 1
  fi
  for app in app_cmake app_pkgconfig; do
    "${WINE_HEADLESS[@]}" wine "$consumer/$app.exe" ||
      { echo "  $app.exe, built against the unpacked library, drew the wrong pixel"; return 1; }
  done
  echo "  a program built against the unpacked library (CMake and pkg-config) runs"

  # The unpacked showcase.
  if [ -n "$XVFB_PID" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
    check_window "$unpacked" "$BUILD/package-window.png" || return 1
  else
    local err status=0
    err=$(cd "$unpacked" && "${WINE_HEADLESS[@]}" wine ./lumorashowcase.exe 2>&1 >/dev/null) || status=$?
    if [ $status -ne 1 ] || [[ "$err" == *"cannot load"* ]]; then
      echo "  the unpacked showcase without a display: exit code $status (1 wanted):"
      echo "$err" | sed 's/^/    /'
      return 1
    fi
    echo "  the unpacked showcase finds its assets and, without a display, refuses with exit code 1"
  fi
}

if [ $PACKAGE -eq 1 ]; then
  echo "== windows: package"
  if package; then
    PACKAGE_RESULT="build-windows/lumora-windows.zip written and checked"
  else
    PACKAGE_RESULT="FAILED"
    FAILED=1
  fi
fi

# ------------------------------------------------------------------ summary
echo "== windows summary"
echo "tests ($([ $QUICK -eq 1 ] && echo quick || echo whole suite)): $TESTS_RESULT"
echo "golden hashes: $HASH_RESULT"
echo "window: $WINDOW_RESULT"
[ $PACKAGE -eq 0 ] || echo "package: $PACKAGE_RESULT"
echo "all steps took $(duration $SECONDS)"
if [ $FAILED -eq 0 ]; then
  echo "windows: everything passed"
  exit 0
fi
echo "windows: FAILED"
exit 1
