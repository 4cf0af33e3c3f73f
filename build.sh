#!/usr/bin/env bash
# Set up, build and run Kestrova on Debian 12.
#   bash build.sh run       install what is missing, build, open the window
#   bash build.sh check     install what is missing, build, run every test
#   bash build.sh deps      only install the Debian packages
#   bash build.sh sanitize  core tests under AddressSanitizer and UBSan
#   bash build.sh tsan      the coverage tests (worker threads) under ThreadSanitizer
#   bash build.sh fuzz [S]  build the fuzzers with clang and run each S seconds (default 30)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

PACKAGES=(
  g++ make cmake ninja-build pkg-config ccache git
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libxkbcommon-dev
  libiniparser-dev libminizip-dev zlib1g-dev nlohmann-json3-dev libgdal-dev gdal-bin
  libgtest-dev libbenchmark-dev
  libcli11-dev
  xvfb xauth fonts-dejavu-core
)
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

configure() { # build-dir, extra cmake arguments...
  local dir=$1; shift
  local werror=OFF
  [ "${CI:-}" = "true" ] && werror=ON
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DKESTROVA_WERROR=$werror "$@" >/dev/null
}

build() {
  install_packages "${PACKAGES[@]}"
  configure build
  cmake --build build
}

case "${1:-}" in
  deps) install_packages "${PACKAGES[@]}" ;;
  build) build ;;
  run)
    build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      echo "No display available (DISPLAY is not set): Kestrova's window needs a desktop." >&2
      echo "Run it under a virtual display instead:  xvfb-run -a build/bin/kestrova" >&2
      echo "or use the command-line tool:            build/bin/kestrova-cli --help" >&2
      exit 1
    fi
    build/bin/kestrova
    ;;
  check)
    build
    ctest --test-dir build --output-on-failure -j "$(nproc)"
    ;;
  sanitize)
    install_packages "${PACKAGES[@]}"
    configure build-sanitize -DKESTROVA_SANITIZE=ON -DKESTROVA_CORE_ONLY=ON -DKESTROVA_BENCH=OFF
    cmake --build build-sanitize
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)" -L core
    ;;
  tsan)
    install_packages "${PACKAGES[@]}"
    configure build-tsan -DKESTROVA_CORE_ONLY=ON -DKESTROVA_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
    cmake --build build-tsan --target coverage_tests
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$ROOT/tests/tsan.supp" \
      build-tsan/bin/coverage_tests
    ;;
  fuzz)
    seconds=${2:-30}
    install_packages "${PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
    CC=clang-14 CXX=clang++-14 configure build-fuzz -DKESTROVA_FUZZ=ON -DKESTROVA_CORE_ONLY=ON
    cmake --build build-fuzz
    for fuzzer in build-fuzz/bin/fuzz_*; do
      name=$(basename "$fuzzer"); name=${name#fuzz_}
      corpus=$(mktemp -d)
      [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$corpus/"
      echo "--- fuzzing $name for $seconds s"
      "$fuzzer" -max_total_time="$seconds" -print_final_stats=0 "$corpus" 2>&1 | tail -n 3
      rm -rf "$corpus"
    done
    ;;
  *)
    sed -n '2,9p' "$0"
    exit 1
    ;;
esac
