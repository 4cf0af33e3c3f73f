#!/usr/bin/env bash
# Set up, build and run Kestrova on Debian 12.
#   bash build.sh run       install what is missing, build, open the window
#   bash build.sh check     install what is missing, build, run every test
#   bash build.sh deps      only install the Debian packages
#   bash build.sh sanitize  every test, the window's too, under AddressSanitizer and UBSan
#   bash build.sh tsan      the tests of the worker threads (the coverage walk, the
#                           window's coverage page) under ThreadSanitizer
#   bash build.sh fuzz [S]  build the fuzzers with clang and run each S seconds (default 30)
# With CI=true a test that skips fails the run.
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

# With CI=true, fails (naming them) when the output of a test run in file log
# shows skipped tests: CTest's list of tests that did not run, GoogleTest's
# "[  SKIPPED ]" and Qt Test's "SKIP   :" lines (CTest's full log too).
fail_on_skips() { # log [ctest build folder]
  [ "${CI:-}" = "true" ] || return 0
  local logs=("$1") skipped
  [ -n "${2:-}" ] && [ -f "$2/Testing/Temporary/LastTest.log" ] &&
    logs+=("$2/Testing/Temporary/LastTest.log")
  skipped=$(grep -hE '^[[:space:]]*[0-9]+ - .* \((Skipped|Disabled|Not Run)\)$|^\[  SKIPPED \] [^0-9]|^SKIP   : ' \
    "${logs[@]}" | sort -u || true)
  [ -z "$skipped" ] && return 0
  echo "CI: tests were skipped (every test must run in CI):" >&2
  echo "$skipped" >&2
  return 1
}

# ctest in a build folder (further arguments to ctest), failing on skips.
run_ctest() { # build folder, ctest arguments...
  local dir=$1 status=0; shift
  ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$dir/ctest.log" || status=$?
  fail_on_skips "$dir/ctest.log" "$dir" || status=1
  return $status
}

# One test executable run directly (arguments to it), failing on skips.
run_test_program() { # program, arguments...
  local log status=0
  log=$(mktemp)
  "$@" 2>&1 | tee "$log" || status=$?
  fail_on_skips "$log" || status=1
  rm -f "$log"
  return $status
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
    run_ctest build -j "$(nproc)"
    ;;
  sanitize)
    install_packages "${PACKAGES[@]}"
    configure build-sanitize -DKESTROVA_SANITIZE=ON -DKESTROVA_CORE_ONLY=OFF -DKESTROVA_BENCH=OFF
    cmake --build build-sanitize
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    # The core's tests with leak checking, but for the one whose process
    # ends holding GDAL's threads: LeakSanitizer's tracer crashes there at
    # exit (after the test has passed), so it runs without the leak check.
    no_leak_check='RasterTerrain.MapOverGeoTiffIsByteIdenticalToTheMapOverTheTile'
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$ROOT/tests/lsan.supp \
      run_ctest build-sanitize -j "$(nproc)" -L core -E "$no_leak_check"
    ASAN_OPTIONS=detect_leaks=0 run_ctest build-sanitize -R "$no_leak_check"
    # The window's tests for memory errors and undefined behaviour; Qt and
    # fontconfig keep memory until the process ends, so no leak check.
    ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
      run_ctest build-sanitize -j "$(nproc)" -L gui
    ;;
  tsan)
    # The core's coverage walk, the window's coverage page, which polls the
    # walk's worker threads, and the site evaluation page, whose worker hands
    # each radial over under a lock of its own.
    install_packages "${PACKAGES[@]}"
    configure build-tsan -DKESTROVA_CORE_ONLY=OFF -DKESTROVA_BENCH=OFF \
      -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
      -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
    tsan_tests=(coverage_tests coveragepage_tests evaluationpage_tests)
    cmake --build build-tsan --target "${tsan_tests[@]}"
    export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$ROOT/tests/tsan.supp"
    export QT_QPA_PLATFORM=offscreen
    for test in "${tsan_tests[@]}"; do
      echo "--- $test under ThreadSanitizer"
      run_test_program "build-tsan/bin/$test"
    done
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
