#!/usr/bin/env bash
# Opens the launcher on the sample installation, so the whole walk can be tried: install, start
# the demo game, options, uninstall. Everything it makes lives in the build tree:
#   <build>/examples/installation/disc       the "disc" the launcher starts from (Setup.exe, HbkSetup/)
#   <build>/examples/installation/installed  where Setup.exe installs the game
#   <build>/examples/installation/registry   the launcher's registry files (system.reg, user.reg)
#
#   examples/installation/run-launcher.sh [--reset]     --reset: forget the installation first
# Environment: VESTIBAR_BUILD_DIR (default: build), VESTIBAR_LANGID (e.g. 0x0407 for German).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repository=$(cd "$here/../.." && pwd)
build=$(cd "${VESTIBAR_BUILD_DIR:-$repository/build}" 2>/dev/null && pwd) || {
  echo "run-launcher.sh: no build directory; run ./build.sh test (or cmake --build build) first" >&2
  exit 1
}
launcher=$build/launcher/vestibar
game=$build/examples/demo_game
game_root=$build/examples/sample_game
for needed in "$launcher" "$game"; do
  [ -x "$needed" ] || { echo "run-launcher.sh: $needed is not built yet" >&2; exit 1; }
done

sample=$build/examples/installation
if [ "${1:-}" = "--reset" ]; then
  rm -rf "$sample"
fi

# The disc: the committed files, the generated sounds and the paths the setup program needs.
mkdir -p "$sample/registry"
rm -rf "$sample/disc"
cp -R "$here/disc" "$sample/disc"
python3 "$here/make_sounds.py" "$sample/disc/HbkSetup"
cat > "$sample/disc/Setup.ini" <<INI
[paths]
install_dir = $sample/installed
game_program = $game
game_root = $game_root
INI

export VESTIBAR_REGISTRY_DIR=$sample/registry
cd "$sample/disc"
exec "$launcher"
