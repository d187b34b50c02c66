#!/usr/bin/env bash
# Builds the Debian packages from the working tree into OUT_DIR (default: build-package/) and
# checks them with lintian: any error, or any warning without an override that gives its
# reason, fails.
#   packaging/build-packages.sh [OUT_DIR]
set -euo pipefail
repository=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$repository/build-package}" && cd "${1:-$repository/build-package}" && pwd)
version=$(dpkg-parsechangelog -l "$repository/packaging/debian/changelog" -S Version)
upstream_version=${version%-*}

# dpkg-buildpackage builds in the source tree and writes the packages beside it, so it runs on
# a copy: the files git knows (committed or not, without ignored ones), and the packaging.
rm -rf "$out"/*
source=$out/cognexa-$upstream_version
mkdir -p "$source"
if git -C "$repository" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  (cd "$repository" && git ls-files -z --cached --others --exclude-standard |
     tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null) | tar -xf - -C "$source"
else
  (cd "$repository" && tar --exclude='./build*' -cf - .) | tar -xf - -C "$source"
fi
rm -rf "$source/debian"
cp -R "$repository/packaging/debian" "$source/debian"

# Repeated package builds reuse compiled objects when ccache is there. debhelper gives the build
# a fresh HOME, so the cache's folder is named outright.
if [ -d /usr/lib/ccache ] && command -v ccache >/dev/null; then
  export PATH=/usr/lib/ccache:$PATH
  CCACHE_DIR=$(ccache -k cache_dir)
  export CCACHE_DIR
fi
export DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
(cd "$source" && dpkg-buildpackage --build=binary --no-sign) > "$out/build.log" 2>&1 || {
  tail -n 60 "$out/build.log" >&2
  echo "build-packages.sh: the package build failed; the whole log is $out/build.log" >&2
  exit 1
}
rm -rf "$source"

changes=$(ls "$out"/cognexa_*.changes)
lintian --fail-on error,warning --display-level '>=warning' "$changes"
echo "Packages in $out:"
ls -1 "$out"/*.deb
