#!/usr/bin/env bash
# Cross-builds lumora for another Linux target and runs its tests and the golden-hash check of
# the whole presentation under qemu. See --help.
set -euo pipefail

LUMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PROG="scripts/cross-test.sh"

# Tests left out by --quick (a ctest regular expression), and why. The whole presentation is
# still compared frame by frame: by the lumora-record run that follows the tests.
QUICK_EXCLUDE='^Golden\.'
QUICK_REASON="The Golden tests replay the presentation frame by frame: whole, each scene
              alone and through the per-frame driver, about three times the frames of the
              lumora-record run, which compares the whole presentation anyway; they take
              about half of the suite's time under qemu"

usage() {
  cat <<EOF
Usage: $PROG TARGET [--quick] [--jobs N]
       $PROG --help

Cross-builds lumora for TARGET on Debian 12 (x86-64) and runs it under qemu user-mode
emulation. TARGET is one of
  aarch64   64-bit Arm (Debian arm64), g++-aarch64-linux-gnu, qemu-aarch64
  i686      32-bit x86 (Debian i386), g++-i686-linux-gnu, qemu-i386

Steps:
  1. Installs what is missing with apt-get (through sudo when not root): the cross
     compiler, qemu-user, qemu-user-binfmt, and the target's GoogleTest, zlib, xxHash and
     C++ runtime from Debian's multiarch packages (adding the Debian architecture with dpkg
     when it is missing). When the target's libgtest-dev cannot be installed, GoogleTest is
     built for the target from /usr/src/googletest (package googletest) into
     build-TARGET/googletest.
  2. Configures and builds build-TARGET/ at the repository root with
     cmake/toolchains/<triple>.cmake: the library, the showcase, lumora-fnt, lumora-record,
     the examples and the tests, in Release, without SDL (-DLUMORA_WITH_SDL=OFF), without
     benchmarks and without FreeType (so no lumora-mkfnt and none of the tests that need
     FreeType: test_fonts_tools, test_fonts_freetype). The showcase's Fonts/ and Pictures/ are copied
     from assets/ by the build (target showcase_assets); no target program runs for them.
  3. Runs the test suite with ctest. The toolchain file's CMAKE_CROSSCOMPILING_EMULATOR
     (qemu-<cpu> -L /, with Debian's multiarch runtime of the target) runs the test
     programs, and lists their tests for gtest_discover_tests. Left out of a cross build's
     suite (the configure step lists them):
       - tests that call ImageMagick's convert or ffmpeg (CMake option
         LUMORA_HOST_PROGRAM_TESTS, off when cross-compiling): PictureMagick.*,
         PngWriter.ImageMagickReadsTheSamePixels, RecordTool.WritesFramesStillsAndAVideo;
       - PictureLoad.AllocationFailureGivesSix: qemu-user ignores the RLIMIT_AS limit
         that the test relies on;
       - aarch64 only: RecordTool.FailsClearlyAndLeavesNothingBehind: an emulated
         lumora-record cannot tell up front that ffmpeg is missing, as qemu-user runs
         posix_spawn's vfork as a fork.
     Some tests start lumora-record themselves, so the kernel must run target programs:
     i686 programs run natively on x86-64; for aarch64 the script registers qemu-aarch64
     with binfmt_misc from /usr/lib/binfmt.d/qemu-aarch64.conf when it is not registered
     yet (as root, mounting binfmt_misc first if needed). Prints how long the tests took.
  4. Runs the target's "lumora-record --no-video -q --hashes FILE" under qemu for the whole
     presentation (FILE is build-TARGET/showcase.hashes) and compares FILE line by line
     with tests/golden/showcase.hashes; on a difference it prints the first differing line
     of each. A progress line every 30 seconds.

The exit status is 0 only when every test passed and the hashes are equal; 1 when
something failed, 2 for a bad command line.

Options:
  --quick     leave out the exhaustive tests, for CI: ctest -E '$QUICK_EXCLUDE'.
              $QUICK_REASON.
              The golden-hash comparison of step 4 still runs.
  --jobs N    parallel build and test jobs (default: the number of processors)
  -h, --help  show this help

Environment: the script sets QEMU_LD_PREFIX=/ so that target programs started by the
tests through binfmt_misc use the same runtime as under ctest.
EOF
}

die() { echo "$PROG: error: $*" >&2; exit 1; }
bad_usage() { echo "$PROG: $*" >&2; echo "Try '$PROG --help'." >&2; exit 2; }

# Prints seconds as "12m 34s".
duration() { printf '%dm %02ds' $(($1 / 60)) $(($1 % 60)); }

TARGET=""
QUICK=0
JOBS="$(nproc)"
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --quick) QUICK=1 ;;
    --jobs)
      [ $# -ge 2 ] || bad_usage "--jobs needs a number"
      JOBS="$2"; shift ;;
    --jobs=*) JOBS="${1#--jobs=}" ;;
    -*) bad_usage "unknown option $1" ;;
    *)
      [ -z "$TARGET" ] || bad_usage "one TARGET only (got $TARGET and $1)"
      TARGET="$1" ;;
  esac
  shift
done
[ -n "$TARGET" ] || bad_usage "no TARGET given (aarch64 or i686)"
[[ "$JOBS" =~ ^[1-9][0-9]*$ ]] || bad_usage "--jobs needs a positive number, not '$JOBS'"

case "$TARGET" in
  aarch64) TRIPLE=aarch64-linux-gnu; DEBARCH=arm64; QEMU=qemu-aarch64 ;;
  i686)    TRIPLE=i686-linux-gnu;    DEBARCH=i386;  QEMU=qemu-i386 ;;
  *) bad_usage "unknown TARGET '$TARGET' (aarch64 or i686)" ;;
esac

BUILD="$LUMORA_ROOT/build-$TARGET"
TOOLCHAIN="$LUMORA_ROOT/cmake/toolchains/$TRIPLE.cmake"
GOLDEN="$LUMORA_ROOT/tests/golden/showcase.hashes"
HASHES="$BUILD/showcase.hashes"
[ -f "$TOOLCHAIN" ] || die "missing toolchain file $TOOLCHAIN"
[ -f "$GOLDEN" ] || die "missing $GOLDEN"

source "$LUMORA_ROOT/scripts/deps.sh"

# ------------------------------------------------------------------ 1. packages
echo "== $TARGET: packages"
if [ "$(dpkg --print-architecture)" != amd64 ]; then
  die "this script cross-builds from Debian amd64 (x86-64); this machine is $(dpkg --print-architecture)"
fi
if ! dpkg --print-foreign-architectures | grep -qx "$DEBARCH"; then
  echo "Adding the Debian architecture $DEBARCH"
  if [ "$(id -u)" -eq 0 ]; then dpkg --add-architecture "$DEBARCH"; else sudo dpkg --add-architecture "$DEBARCH"; fi
  # lumora_install_deps runs apt-get update before it installs anything.
fi
lumora_install_deps cmake make pkg-config "g++-$TRIPLE" qemu-user qemu-user-binfmt \
  "zlib1g-dev:$DEBARCH" "libxxhash-dev:$DEBARCH" "libstdc++6:$DEBARCH" ||
  die "could not install the packages for $TARGET"

GTEST_ARGS=()
if ! lumora_install_deps "libgtest-dev:$DEBARCH"; then
  echo "libgtest-dev:$DEBARCH cannot be installed: building GoogleTest for $TARGET from /usr/src/googletest"
  lumora_install_deps googletest || die "could not install googletest (GoogleTest's sources)"
  GTEST_PREFIX="$BUILD/googletest/install"
  if [ ! -f "$GTEST_PREFIX/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$BUILD/googletest/build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$GTEST_PREFIX" \
      -DCMAKE_INSTALL_LIBDIR=lib >/dev/null || die "configuring GoogleTest for $TARGET failed"
    cmake --build "$BUILD/googletest/build" -j"$JOBS" >/dev/null || die "building GoogleTest for $TARGET failed"
    cmake --install "$BUILD/googletest/build" >/dev/null || die "installing GoogleTest into $GTEST_PREFIX failed"
  fi
  GTEST_ARGS=(-DGTest_DIR="$GTEST_PREFIX/lib/cmake/GTest")
fi

# ------------------------------------------------------------------ 2. build
echo "== $TARGET: configuring $BUILD"
mkdir -p "$BUILD"
cmake -S "$LUMORA_ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
  -DLUMORA_WITH_SDL=OFF -DLUMORA_BUILD_BENCH=OFF -DLUMORA_FUZZ=OFF -DLUMORA_SANITIZE=OFF \
  -DLUMORA_BUILD_TOOLS=ON -DLUMORA_BUILD_TESTS=ON -DCMAKE_DISABLE_FIND_PACKAGE_Freetype=ON \
  "${GTEST_ARGS[@]}" >"$BUILD/cross-test-configure.log" 2>&1 ||
  { cat "$BUILD/cross-test-configure.log" >&2; die "configuring for $TARGET failed (log above)"; }
rm -f "$BUILD/cross-test-configure.log"

echo "== $TARGET: building with $JOBS jobs"
START=$SECONDS
cmake --build "$BUILD" -j"$JOBS" || die "the $TARGET build failed"
echo "built in $(duration $((SECONDS - START)))"

# ------------------------------------------------------------------ 3. tests
export QEMU_LD_PREFIX=/
RECORD="$BUILD/bin/lumora-record"
# The tests start lumora-record as a child process: the kernel must run it.
if ! "$RECORD" --help >/dev/null 2>&1; then
  if [ "$TARGET" = aarch64 ]; then
    echo "The kernel cannot start $TARGET programs: registering qemu-aarch64 with binfmt_misc"
    [ "$(id -u)" -eq 0 ] || die "registering qemu-aarch64 with binfmt_misc needs root"
    CONF=/usr/lib/binfmt.d/qemu-aarch64.conf
    [ -f "$CONF" ] || die "missing $CONF (package qemu-user-binfmt)"
    if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
      mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc ||
        die "cannot mount binfmt_misc on /proc/sys/fs/binfmt_misc"
    fi
    if [ ! -e /proc/sys/fs/binfmt_misc/qemu-aarch64 ]; then
      grep -v '^#' "$CONF" | grep . >/proc/sys/fs/binfmt_misc/register ||
        die "cannot register qemu-aarch64 with binfmt_misc"
    fi
  fi
  "$RECORD" --help >/dev/null 2>&1 ||
    die "the kernel cannot start $RECORD, which the tests run as a child process"
fi

# The longest test takes a few minutes under qemu; a hang ends at the timeout.
CTEST_ARGS=(--test-dir "$BUILD" --output-on-failure -j"$JOBS" --timeout 1200)
if [ $QUICK -eq 1 ]; then
  CTEST_ARGS+=(-E "$QUICK_EXCLUDE")
  echo "== $TARGET: tests under $QEMU, quick: leaving out tests matching $QUICK_EXCLUDE"
else
  echo "== $TARGET: tests under $QEMU, the whole suite"
fi
TEST_LOG="$BUILD/cross-test-ctest.log"
START=$SECONDS
TESTS_OK=1
ctest "${CTEST_ARGS[@]}" 2>&1 | tee "$TEST_LOG" || TESTS_OK=0
TEST_TIME=$((SECONDS - START))
TEST_SUMMARY="$(grep -E 'tests passed, [0-9]+ tests failed out of' "$TEST_LOG" | tail -1 || true)"
[ -n "$TEST_SUMMARY" ] || { TEST_SUMMARY="ctest ran no tests"; TESTS_OK=0; }
echo "tests under $QEMU took $(duration $TEST_TIME): $TEST_SUMMARY"

# ------------------------------------------------------------------ 4. golden hashes
TOTAL=$(grep -c . "$GOLDEN")
echo "== $TARGET: lumora-record --hashes under $QEMU, the whole presentation ($TOTAL frames)"
rm -f "$HASHES"
START=$SECONDS
(cd "$BUILD/bin" && exec "$QEMU" -L / ./lumora-record --no-video -q --hashes "$HASHES") &
RECORD_PID=$!
trap 'kill "$RECORD_PID" 2>/dev/null || true' EXIT INT TERM
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
[ $STATUS -eq 0 ] || { HASH_OK=0; echo "lumora-record failed (exit status $STATUS)"; }
trap - EXIT INT TERM
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

# ------------------------------------------------------------------ summary
echo "== $TARGET summary"
echo "tests ($([ $QUICK -eq 1 ] && echo quick || echo whole suite)): $(duration $TEST_TIME), $TEST_SUMMARY"
echo "golden hashes: $([ $HASH_OK -eq 1 ] && echo equal || echo 'NOT equal or not written'), $(duration $HASH_TIME)"
if [ $TESTS_OK -eq 1 ] && [ $HASH_OK -eq 1 ]; then
  echo "$TARGET: everything passed"
  exit 0
fi
echo "$TARGET: FAILED"
exit 1
