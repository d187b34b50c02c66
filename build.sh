#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs one job:
#   ./build.sh run    the demo game (the main job)
#   ./build.sh test   the whole test suite
#   ./build.sh check  everything CI runs: the suite, the ABI check, the sanitizer and threading
#                     suites, the fuzz smoke, the Windows suites and the package checks
#   ./build.sh package  the Debian packages, into build-package/
#   ./build.sh bench  the benchmarks against peer libraries, as a table of ratios
#   ./build.sh windows  the 32-bit Windows build, its download zip and its tests under Wine
#   ./build.sh arm64  the 64-bit ARM Linux build and its tests under qemu (part of check too)
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  build-essential cmake ninja-build pkg-config git python3
  debhelper dpkg-dev lintian abigail-tools man-db
  libgtest-dev libgmock-dev libbenchmark-dev
  libmuparser-dev libpugixml-dev libtinyxml2-dev libphysfs-dev
  libgtk-3-dev libwebkit2gtk-4.1-dev libcanberra-dev
  xvfb xauth x11-utils xdotool python3-gi gir1.2-webkit2-4.1
  libvulkan1 libvulkan-dev mesa-vulkan-drivers
  clang libclang-rt-14-dev
  libfparser-dev liblua5.4-dev libluajit-5.1-dev
  locales
  librsvg2-bin
  nlohmann-json3-dev neovim python3-pylsp-jsonrpc
)

install_missing_packages() {
  local missing=()
  for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The library's binary interface against its stored baseline, then the packages: built, checked
# by lintian and tested as a user gets them.
abi_check() {
  abi/abi.sh check build/libcognexa.so
}
package_checks() {
  packaging/build-packages.sh build-package
  tests/packaging/test-packages.sh build-package build/examples/sample_game
}

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build
}

# The whole suite again under AddressSanitizer (with LeakSanitizer) and UndefinedBehaviorSanitizer.
# The real launcher in its toolkit and the probes that load the GPU driver and the sound library
# run without leak detection: those libraries keep allocations that are lost when they are
# unloaded. The install test builds an uninstrumented host, which cannot load an instrumented
# library; the plain run above covers it.
asan_tests() {
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOGNEXA_SANITIZE=address,undefined \
        -DCOGNEXA_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build build-asan
  local toolkit_tests='^launcher\.(e2e|SystemProbes)'
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -E "$toolkit_tests|^install\."
  ASAN_OPTIONS=detect_leaks=0 \
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -R "$toolkit_tests"
}

# Under ThreadSanitizer: the file system's threading tests and its lock, the thread contract and its stress test.
tsan_tests() {
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOGNEXA_SANITIZE=thread \
        -DCOGNEXA_BUILD_LAUNCHER=OFF -DCOGNEXA_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build build-tsan --target data_tests platform_tests equations_tests thread_contract_tests
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir build-tsan --output-on-failure -R '^(data\.FileManager|platform\..*Lock|equations\.ThreadContract)|ThreadContractStress'
}

# Every fuzz target for a short smoke run (clang, libFuzzer).
fuzz_smoke() {
  fuzz/run.sh all "${COGNEXA_FUZZ_SECONDS:-30}"
}

# 32-bit Windows: the mingw-w64 cross compilers, and Wine with its 32-bit half to run what they
# build. The zip comes from cmake, so no zip program is needed.
windows_packages=(mingw-w64 g++-mingw-w64-i686 wine wine32 wine64)

install_windows_packages() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" dpkg --add-architecture i386
  fi
  packages+=("${windows_packages[@]}")
  install_missing_packages
}

# The 32-bit Windows build and its tests under Wine. Cross-builds the library, the tool, the
# examples and the tests into build-win32/, installs the library and the tool into
# build-win32/prefix, zips that prefix (the Windows download) and runs the library's, registry,
# data, tool and launcher-core suites and the install test. Runs in a subshell: Wine's settings
# and its server end with it.
windows_checks() (
  local started=$SECONDS
  install_windows_packages
  # Wine runs the test programs during the build (test discovery) too, in a prefix of the
  # build's own. Without a display a message box returns at once, so no test can leave one open.
  export WINEPREFIX=$PWD/build-win32/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  unset DISPLAY WAYLAND_DISPLAY
  cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-i686-w64-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOGNEXA_BUILD_BENCHMARKS=OFF >/dev/null
  # The server and Wine's own services start here, away from the build's and ctest's output
  # pipes: started by a test, they would hold its pipe open after the test ends. The server
  # stays up until this job ends, so a program's exit does not wait for it to linger out.
  mkdir -p "$WINEPREFIX"
  wineserver --persistent </dev/null >/dev/null 2>&1
  trap 'wineserver --kill 2>/dev/null || true' EXIT
  wineboot --init </dev/null >/dev/null 2>&1
  cmake --build build-win32

  rm -rf build-win32/prefix
  cmake --install build-win32 --prefix build-win32/prefix --strip >/dev/null
  local version
  version=$(sed -n 's/^project(Cognexa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  (cd build-win32/prefix && cmake -E tar cf "../cognexa-$version-win32.zip" --format=zip .)
  echo "Windows download: build-win32/cognexa-$version-win32.zip"

  local status=0
  ctest --test-dir build-win32 --output-on-failure -j "$(nproc)" || status=$?
  tests/run_shuffled.py build-win32 || status=$?
  echo "Windows build and tests: $((SECONDS - started)) s"
  return $status
)

# 64-bit ARM Linux: Debian's cross compilers and qemu's user-mode emulator to run what they
# build, which finds the target's loader and libraries in /usr/aarch64-linux-gnu.
arm64_packages=(g++-aarch64-linux-gnu libc6-dev-arm64-cross qemu-user)

# The 64-bit ARM build and its tests under qemu. Cross-builds the library, the tool, the examples
# and the tests into build-arm64/ and runs every suite. The launcher stays out: its toolkit's ARM
# libraries would need a second package architecture.
arm64_checks() (
  local started=$SECONDS
  packages+=("${arm64_packages[@]}")
  install_missing_packages
  cmake -S . -B build-arm64 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-aarch64-linux-gnu.cmake" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOGNEXA_BUILD_BENCHMARKS=OFF -DCOGNEXA_BUILD_LAUNCHER=OFF >/dev/null
  cmake --build build-arm64
  local status=0
  ctest --test-dir build-arm64 --output-on-failure -j "$(nproc)" || status=$?
  echo "64-bit ARM build and tests: $((SECONDS - started)) s"
  return $status
)

job=${1:-}
case "$job" in
  run)
    install_missing_packages
    build
    exec build/examples/demo_game build/examples/sample_game
    ;;
  test)
    install_missing_packages
    build
    exec ctest --test-dir build --output-on-failure -j "$(nproc)"
    ;;
  check)
    install_missing_packages
    build
    ctest --test-dir build --output-on-failure -j "$(nproc)"
    tests/run_shuffled.py build
    abi_check
    asan_tests
    tsan_tests
    fuzz_smoke
    windows_checks
    arm64_checks
    package_checks
    ;;
  package)
    install_missing_packages
    exec packaging/build-packages.sh build-package
    ;;
  bench)
    install_missing_packages
    exec bench/run_benchmarks.sh
    ;;
  windows)
    windows_checks
    ;;
  arm64)
    arm64_checks
    ;;
  *)
    echo "usage: $0 run|test|check|package|bench|windows|arm64" >&2
    exit 2
    ;;
esac
