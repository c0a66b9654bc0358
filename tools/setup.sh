# Sourced by tools/run and tools/test: installs what is missing on a Debian 12
# machine and configures and builds the project. Nothing here needs a display.

KELVORA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KELVORA_BUILD="${KELVORA_BUILD:-$KELVORA_ROOT/build}"
KELVORA_JOBS="${KELVORA_JOBS:-2}"

KELVORA_PACKAGES=(
  # toolchain and test frameworks
  cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev
  # the equalizers' FFT
  libfftw3-dev
  # FLAC, Ogg Vorbis, Opus, MP3 and the other formats of today; resampling
  libsndfile1-dev libmpg123-dev libsoxr-dev
  # the loudness meter
  libebur128-dev
  # an independent reading of sound files in the tests
  sox
  # fuzzers and sanitizers
  clang libclang-rt-14-dev
  # Qt program
  qt6-base-dev qt6-multimedia-dev qt6-translations-l10n libgl-dev
  # headless GUI and audio tests, screenshots
  xvfb xauth pulseaudio pulseaudio-utils fonts-ipafont-gothic imagemagick
  # desktop entry and metainfo checks, the Debian package and its checks
  desktop-file-utils appstream dpkg-dev file man-db
)

kelvora_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

kelvora_install_missing() {
  local missing=()
  for p in "${KELVORA_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    kelvora_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    kelvora_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
      "${missing[@]}"
  fi
}

kelvora_build() {
  cmake -S "$KELVORA_ROOT" -B "$KELVORA_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
  cmake --build "$KELVORA_BUILD" -j "$KELVORA_JOBS"
}
