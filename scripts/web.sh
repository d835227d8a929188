#!/usr/bin/env bash
# Builds the lumora showcase as a web page with Emscripten (build-web/index.html) and serves
# it on 127.0.0.1. See --help.
set -euo pipefail

LUMORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PROG="scripts/web.sh"
BUILD="$LUMORA_ROOT/build-web"

usage() {
  cat <<EOF
Usage: $PROG [build] [--no-simd] [--jobs N]
       $PROG serve [--port N]
       $PROG --help

build (the default)
  1. Installs what is missing with apt-get (through sudo when not root): Debian's
     emscripten, node-acorn (for Emscripten's JavaScript optimizer), cmake and
     libxxhash-dev (xxhash.h, compiled into the frame hashes).
  2. Configures web/ with emcmake cmake into build-web/ (Release) and builds the target
     lumora-web: the library with its web platform (lumora/platform_web.cpp), the
     showcase's scenes and web/main.cpp, with WebAssembly SIMD128 span kernels.
  3. Leaves in build-web/: index.html (the page: the canvas, a line of text), and
     lumora-web.js, lumora-web.wasm and lumora-web.data, which packs Fonts/ and Pictures/
     from assets/ (the folders the native build places beside its programs).
  --no-simd   scalar span kernels, for browsers without WebAssembly SIMD (or to compare)
  --jobs N    parallel build jobs (default 2)

serve
  Serves build-web/ on http://127.0.0.1:PORT/index.html with Python's http.server
  (web/serve.py, which adds the headers that make performance.now() precise to the
  microsecond). Ctrl-C stops it. The page must come from a server: a browser does not
  load the .wasm and .data files of a file:// page.
  --port N    port (default 8000)

The page:
  index.html               the presentation, scaled to the window; Escape stops it
  index.html?hashes=1      every frame on the headless virtual clock, unpaced: the
                           XXH3-128 hash list (as tests/golden/showcase.hashes) and each
                           scene's median frame time, in the page and the console
  index.html?present=webgl frames shown through a WebGL texture instead of putImageData

scripts/web-test.sh checks the page in headless Chromium and runs the test suite under
Node.js. Exit status: 0 done, 1 failed, 2 bad command line.
EOF
}

die() { echo "$PROG: error: $*" >&2; exit 1; }
bad_usage() { echo "$PROG: $*" >&2; echo "Try '$PROG --help'." >&2; exit 2; }

MODE=build
SIMD=ON
JOBS=2
PORT=8000
FIRST=1
while [ $# -gt 0 ]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    build|serve)
      [ $FIRST -eq 1 ] || bad_usage "'$1' must come first"
      MODE="$1" ;;
    --no-simd) SIMD=OFF ;;
    --jobs)
      [ $# -ge 2 ] || bad_usage "--jobs needs a number"
      JOBS="$2"; shift ;;
    --jobs=*) JOBS="${1#--jobs=}" ;;
    --port)
      [ $# -ge 2 ] || bad_usage "--port needs a number"
      PORT="$2"; shift ;;
    --port=*) PORT="${1#--port=}" ;;
    *) bad_usage "unknown argument '$1'" ;;
  esac
  FIRST=0
  shift
done
[[ "$JOBS" =~ ^[1-9][0-9]*$ ]] || bad_usage "--jobs needs a positive number, not '$JOBS'"
[[ "$PORT" =~ ^[0-9]+$ ]] && [ "$PORT" -le 65535 ] || bad_usage "--port needs a port number, not '$PORT'"

if [ "$MODE" = serve ]; then
  [ -f "$BUILD/index.html" ] && [ -f "$BUILD/lumora-web.wasm" ] ||
    die "no page in build-web/: build it first with $PROG"
  exec python3 "$LUMORA_ROOT/web/serve.py" --dir "$BUILD" --port "$PORT"
fi

source "$LUMORA_ROOT/scripts/deps.sh"

echo "== web: packages"
lumora_install_deps emscripten node-acorn cmake libxxhash-dev ||
  die "could not install emscripten, node-acorn, cmake and libxxhash-dev"
command -v emcmake >/dev/null || die "emcmake not found after installing emscripten"
command -v node >/dev/null || die "node not found (Emscripten needs Node.js)"
# Emscripten's JavaScript optimizer loads acorn, which Debian installs for its own Node.js
# under /usr/share/nodejs; a Node.js from elsewhere finds it only through NODE_PATH.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

echo "== web: configuring build-web/ (SIMD128 $SIMD)"
mkdir -p "$BUILD"
emcmake cmake -S "$LUMORA_ROOT/web" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release \
  -DLUMORA_WEB_SIMD="$SIMD" >"$BUILD/web-configure.log" 2>&1 ||
  { cat "$BUILD/web-configure.log" >&2; die "configuring build-web/ failed (log above)"; }

echo "== web: building lumora-web with $JOBS jobs"
START=$SECONDS
cmake --build "$BUILD" --target lumora-web -j"$JOBS" || die "the web build failed"
for F in index.html lumora-web.js lumora-web.wasm lumora-web.data; do
  [ -f "$BUILD/$F" ] || die "the build left no build-web/$F"
done
echo "built in $((SECONDS - START)) s:"
(cd "$BUILD" && ls -l index.html lumora-web.js lumora-web.wasm lumora-web.data | awk '{printf "  %-16s %9d bytes\n", $9, $5}')
echo "Serve it with '$PROG serve' and open http://127.0.0.1:$PORT/index.html"
