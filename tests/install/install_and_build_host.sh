#!/usr/bin/env bash
# usage: install_and_build_host.sh BUILD_DIR SCRATCH HOST_SOURCE CMAKE CXX
set -euo pipefail
build_dir=$1 scratch=$2 host_source=$3 cmake=$4 cxx=$5
rm -rf "$scratch"
prefix=$scratch/prefix
"$cmake" --install "$build_dir" --prefix "$prefix" >/dev/null

# CMake package.
"$cmake" -S "$host_source" -B "$scratch/host" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
"$cmake" --build "$scratch/host" >/dev/null
LD_LIBRARY_PATH=$prefix/lib "$scratch/host/install_host"

# pkg-config file.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
"$cxx" -std=c++17 "$host_source/install_host.cpp" -o "$scratch/install_host_pc" $(pkg-config --cflags --libs cognexa)
LD_LIBRARY_PATH=$prefix/lib "$scratch/install_host_pc"
