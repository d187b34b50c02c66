#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds everything and runs one job:
#   ./build.sh run    the demo game (the main job)
#   ./build.sh test   the whole test suite
#   ./build.sh bench  the benchmarks against peer libraries, as a table of ratios
set -euo pipefail
cd "$(dirname "$0")"

packages=(
  build-essential cmake ninja-build pkg-config git python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libmuparser-dev libpugixml-dev libtinyxml2-dev libphysfs-dev
  libgtk-3-dev libwebkit2gtk-4.1-dev libcanberra-dev
  xvfb xauth x11-utils xdotool python3-gi gir1.2-webkit2-4.1
  libvulkan1 libvulkan-dev mesa-vulkan-drivers
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

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build
}

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
    ctest --test-dir build --output-on-failure -j "$(nproc)"
    ;;
  bench)
    install_missing_packages
    exec bench/run_benchmarks.sh
    ;;
  *)
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
