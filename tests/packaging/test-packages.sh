#!/usr/bin/env bash
# Tests the Debian packages as a user gets them: unpacks them into a scratch root, checks their
# relations, builds the install host against the unpacked development package through its CMake
# package and through pkg-config, runs it on the unpacked library, and runs the packaged tool on
# the sample game.
#   tests/packaging/test-packages.sh PACKAGE_DIR SAMPLE_GAME_ROOT
set -euo pipefail
packages=$(cd "$1" && pwd)
sample_game=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
host_source=$here/../install/host

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
fail() { echo "test-packages.sh: $*" >&2; exit 1; }

deb_of() {
  local found=("$packages/$1"_*.deb)
  [ -f "${found[0]}" ] || fail "no $1 package in $packages"
  echo "${found[0]}"
}
for package in libcognexa1 libcognexa-dev cognexa-tools vestibar; do
  dpkg-deb -x "$(deb_of $package)" "$root"
done

# Relations: the development package pins the library's exact version; the library and the
# programs carry their shared-library dependencies; the library ships its symbols file.
depends() { dpkg-deb -f "$(deb_of "$1")" Depends; }
version=$(dpkg-deb -f "$(deb_of libcognexa1)" Version)
[[ $(depends libcognexa-dev) == *"libcognexa1 (= $version)"* ]] ||
  fail "libcognexa-dev does not depend on libcognexa1 (= $version)"
for package in libcognexa1 cognexa-tools vestibar; do
  [[ $(depends $package) == *libc6* ]] || fail "$package lacks its libc6 dependency"
done
[[ $(depends vestibar) == *libwebkit2gtk-4.1* ]] || fail "vestibar lacks its WebKitGTK dependency"
control=$scratch/control
dpkg-deb --control "$(deb_of libcognexa1)" "$control"
[ -f "$control/symbols" ] || fail "libcognexa1 has no symbols file"
grep -q "^libcognexa 1 libcognexa1" "$control/shlibs" || fail "libcognexa1's shlibs file does not name libcognexa.so.1"

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=$root/usr/lib/$multiarch
[ -e "$libdir/libcognexa.so" ] || fail "the development link libcognexa.so does not resolve"
[ "$(readlink "$libdir/libcognexa.so.1")" = "$(readlink -f "$libdir/libcognexa.so.1" | xargs basename)" ] ||
  fail "libcognexa.so.1 is not a link to the library beside it"

# The host runs on the unpacked library and no other.
run_host() {
  local host=$1
  local loaded output
  loaded=$(LD_LIBRARY_PATH=$libdir ldd "$host")
  grep -q "libcognexa.so.1 => $libdir/" <<<"$loaded" || fail "$host does not load the unpacked library"
  output=$(LD_LIBRARY_PATH=$libdir "$host") || fail "$host failed: $output"
  [ "$output" = 'installed package works' ] || fail "$host failed: $output"
}

# CMake package.
cmake -S "$host_source" -B "$scratch/cmake-host" -G Ninja -DCMAKE_PREFIX_PATH="$root/usr" \
  -DCMAKE_FIND_PACKAGE_NO_SYSTEM_PACKAGE_REGISTRY=ON >/dev/null
cmake --build "$scratch/cmake-host" >/dev/null
run_host "$scratch/cmake-host/install_host"

# pkg-config file, found only in the scratch root.
export PKG_CONFIG_LIBDIR=$libdir/pkgconfig
c++ -std=c++17 "$host_source/install_host.cpp" -o "$scratch/pkg-config-host" $(pkg-config --cflags --libs cognexa)
run_host "$scratch/pkg-config-host"

# The packaged tool on the sample game: its equations load without a problem, one evaluates and
# the archive verifies.
tool=$root/usr/bin/cognexa
report=$("$tool" check "$sample_game" 2>&1) || fail "the packaged cognexa finds problems in the sample game: $report"
[ "$("$tool" eval --root "$sample_game" '2 * 3 + 1')" = 7 ] || fail "the packaged cognexa evaluates wrongly"
[[ $("$tool" mega verify "$sample_game/Data/Tactics.meg") == *': OK, '* ]] || fail "the packaged cognexa rejects the sample archive"

# Every program's libraries are found, and the manual pages render without warnings.
for program in "$root/usr/bin/cognexa" "$root/usr/games/vestibar"; do
  ! LD_LIBRARY_PATH=$libdir ldd "$program" | grep 'not found' || fail "$program misses a library"
done
for page in man1/cognexa.1.gz man6/vestibar.6.gz; do
  [ -f "$root/usr/share/man/$page" ] || fail "no manual page $page"
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$root/usr/share/man/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "manual page $page: $warnings"
done
echo "packages work as installed: library, development files, tool and launcher"
