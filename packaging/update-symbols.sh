#!/usr/bin/env bash
# Writes packaging/debian/libcognexa1.symbols from the library's exports, on purpose: symbols
# already listed keep the version that introduced them, new ones get the package's upstream
# version. C++ symbols are listed demangled, so the file reads as the interface does.
#   packaging/update-symbols.sh [LIBRARY]    (default: build/libcognexa.so)
set -euo pipefail
repository=$(cd "$(dirname "$0")/.." && pwd)
library=$(readlink -f "${1:-$repository/build/libcognexa.so}")
symbols=$repository/packaging/debian/libcognexa1.symbols
version=$(dpkg-parsechangelog -l "$repository/packaging/debian/changelog" -S Version)
version=${version%-*}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$scratch" && dpkg-gensymbols -plibcognexa1 -v"$version" -e"$library" -O -q) > "$scratch/raw"
[ -f "$symbols" ] || : > "$symbols"

python3 - "$scratch/raw" "$symbols" "$version" > "$scratch/new" <<'PYTHON'
import subprocess, sys
raw_path, old_path, version = sys.argv[1:]
header, entries = None, []
for line in open(raw_path):
    if not line.startswith(' '):
        header = header or line.rstrip('\n')
        continue
    name, _ = line.split()
    entries.append(name)
mangled = [name.rsplit('@', 1)[0] for name in entries]
demangled = subprocess.run(['c++filt'], input='\n'.join(mangled) + '\n', capture_output=True,
                           text=True, check=True).stdout.splitlines()
known = {}
for line in open(old_path):
    if line.startswith(' '):
        key, _, since = line.strip().rpartition(' ')
        known[key] = since
keys = []
for name, plain, readable in zip(entries, mangled, demangled):
    node = name.rsplit('@', 1)[1]
    key = f'(c++)"{readable}@{node}"' if plain.startswith('_Z') else name
    if key not in keys:
        keys.append(key)
print(header)
print('* Build-Depends-Package: libcognexa-dev')
for key in sorted(keys, key=lambda k: k[len('(c++)"'):] if k.startswith('(c++)') else k):
    print(f' {key} {known.get(key, version)}')
PYTHON
mv "$scratch/new" "$symbols"
echo "update-symbols.sh: wrote $symbols ($(grep -c '^ ' "$symbols") symbols)"
