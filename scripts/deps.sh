# Installs the Debian packages lumora needs that are missing. Sourced by play.sh and test.sh.
# Usage: lumora_install_deps <package>...

lumora_install_deps() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "error: need root or sudo to install: ${missing[*]}" >&2; return 1; }
    sudo="sudo"
  fi
  $sudo apt-get update -qq || return 1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

# What it takes to build the library, the showcase, the tools and the tests.
LUMORA_BUILD_PACKAGES=(build-essential cmake pkg-config libsdl2-dev libfreetype-dev zlib1g-dev
  libgtest-dev libbenchmark-dev libxxhash-dev)
# What the tests use besides: ImageMagick and FreeType-readable fonts for differential tests
# (outline fonts, and bitmap fonts in .fon, .pcf and .otb files, with pcf2bdf to make BDF
# fonts of them), ffmpeg for the recorder.
LUMORA_TEST_PACKAGES=(imagemagick netpbm ffmpeg fonts-dejavu-core fonts-dejavu-extra fonts-wine
  xfonts-base fonts-terminus-otb pcf2bdf)

# Configures and builds into $1 with further CMake arguments.
lumora_build() {
  local dir="$1"; shift
  cmake -S "$LUMORA_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null || return 1
  cmake --build "$dir" -j"$(nproc)" || return 1
}
