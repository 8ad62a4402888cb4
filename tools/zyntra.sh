#!/usr/bin/env bash
# Set-up and build driver.
#   bash tools/zyntra.sh play [game options]   builds the release program and plays our episode
#   bash tools/zyntra.sh test                  builds with sanitizers and runs every test
#   bash tools/zyntra.sh package               builds the Debian package build/release/zyntra_*.deb
#   bash tools/zyntra.sh fuzz [seconds] [targets...]
#                                              builds the fuzz targets (clang, libFuzzer) and
#                                              runs each for the seconds given (20 by default)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

PACKAGES=(build-essential cmake ninja-build pkg-config ccache
          libsdl2-dev libsdl2-mixer-dev libpng-dev libjpeg-dev zlib1g-dev
          libgtest-dev libgmock-dev libbenchmark-dev
          libegl1 libegl-mesa0 libgl1-mesa-dri
          dpkg-dev file)  # dpkg-shlibdeps and file: the package's library dependencies
# Only the fuzz build needs clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The tests check the formatting of the sources.
TEST_PACKAGES=(clang-format)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

configure() { # dir, extra cmake args...
  # Configures when the folder is new or was configured with other options.
  local dir=$1; shift
  local wanted="${CC:-} ${CXX:-} $*"
  if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$dir/.zyntra-options" 2>/dev/null)" != "$wanted" ]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@"
    printf '%s' "$wanted" > "$dir/.zyntra-options"
  fi
}

mode=${1:-play}
[ $# -gt 0 ] && shift
[ "$mode" = fuzz ] && PACKAGES+=("${FUZZ_PACKAGES[@]}")
[ "$mode" = test ] && PACKAGES+=("${TEST_PACKAGES[@]}")
install_missing
case "$mode" in
  play)
    configure build/release -DCMAKE_BUILD_TYPE=Release -DZYNTRA_TESTS=OFF -DZYNTRA_BENCH=OFF
    cmake --build build/release
    GAMEDIR="$ROOT/build/release/episode/"
    mkdir -p build/play
    cd build/play
    if [ -d "$GAMEDIR" ]; then
      exec "$ROOT/build/release/zyntra" "-dir=$GAMEDIR" "$@"
    fi
    exec "$ROOT/build/release/zyntra" "$@"
    ;;
  test)
    # Warnings of our own code are errors here, so that CI keeps the tree warning-free.
    configure build/asan -DCMAKE_BUILD_TYPE=Debug -DZYNTRA_SANITIZE=ON "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" \
      -DZYNTRA_WERROR=ON
    cmake --build build/asan
    # The release program too: a test plays the same ticks in both builds.
    configure build/release -DCMAKE_BUILD_TYPE=Release -DZYNTRA_TESTS=OFF -DZYNTRA_BENCH=OFF
    cmake --build build/release --target zyntra
    export ZYNTRA_RELEASE_BINARY="$ROOT/build/release/zyntra"
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export LSAN_OPTIONS="suppressions=$ROOT/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    export SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen}
    export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
    cd build/asan
    ctest --output-on-failure -j2 --timeout 300
    ;;
  package)
    configure build/release -DCMAKE_BUILD_TYPE=Release -DZYNTRA_TESTS=OFF -DZYNTRA_BENCH=OFF
    cmake --build build/release
    rm -f build/release/zyntra_*.deb
    (cd build/release && cpack -G DEB)
    for deb in build/release/zyntra_*.deb; do
      dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
    done
    ;;
  fuzz)
    seconds=${1:-20}
    [ $# -gt 0 ] && shift
    CC=clang CXX=clang++ configure build/fuzz -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" \
      "-DCMAKE_C_FLAGS_DEBUG=-g -O1" -DZYNTRA_TESTS=OFF -DZYNTRA_BENCH=OFF -DZYNTRA_FUZZ=ON
    cmake --build build/fuzz
    exec bash fuzz/run.sh build/fuzz "$seconds" "$@"
    ;;
  *)
    echo "usage: bash tools/zyntra.sh play|test|package|fuzz" >&2
    exit 2
    ;;
esac
