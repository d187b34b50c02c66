#!/usr/bin/env bash
# usage: install_and_build_host.sh BUILD_DIR SCRATCH HOST_SOURCE CMAKE CXX [TOOLCHAIN_FILE EMULATOR...]
# With a toolchain file the hosts are cross-built and run through the build's emulator, whose
# words follow the toolchain file. For Windows the emulator is Wine and the DLL goes beside the
# hosts, where Windows looks for it: the CMake-built host with its C++ runtime linked in, the
# other with mingw-w64's runtime DLLs, so a host on either runtime is shown to work with the
# library's own copy. For another Linux (aarch64 under qemu) the hosts find the library as
# natively, through LD_LIBRARY_PATH, which qemu hands on to the program.
set -euo pipefail
build_dir=$1 scratch=$2 host_source=$3 cmake=$4 cxx=$5 toolchain=${6:-}
emulator=("${@:7}")
rm -rf "$scratch"
prefix=$scratch/prefix
"$cmake" --install "$build_dir" --prefix "$prefix" >/dev/null

windows=false
case $("$cxx" -dumpmachine) in *mingw32*) windows=true ;; esac

cross=()
if [ -n "$toolchain" ]; then
  cross=(-DCMAKE_TOOLCHAIN_FILE="$toolchain")
fi
if $windows; then
  cross+=(-DCMAKE_EXE_LINKER_FLAGS=-static)
  runtime_dirs=
  for runtime_dll in libstdc++-6.dll libgcc_s_dw2-1.dll libwinpthread-1.dll; do
    runtime_dirs+="$(winepath -w "$(dirname "$("$cxx" -print-file-name=$runtime_dll)")");"
  done
  export WINEPATH=$runtime_dirs
fi

run_host() {
  if $windows; then
    cp "$prefix"/bin/*.dll "$(dirname "$1")"
    "${emulator[@]}" "$1.exe"
  else
    LD_LIBRARY_PATH=$prefix/lib "${emulator[@]}" "$1"
  fi
}

# CMake package.
"$cmake" -S "$host_source" -B "$scratch/host" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" "${cross[@]}" >/dev/null
"$cmake" --build "$scratch/host" >/dev/null
run_host "$scratch/host/install_host"

# pkg-config file.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
"$cxx" -std=c++17 "$host_source/install_host.cpp" -o "$scratch/install_host_pc" \
  $(pkg-config --cflags --libs cognexa)
run_host "$scratch/install_host_pc"
