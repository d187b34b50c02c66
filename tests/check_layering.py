#!/usr/bin/env python3
"""Fails when a folder includes a folder that is not beneath it.

Bottom up: foundation/ ; platform/ ; equations/ and data/ ; registry/. The launcher is a
program of its own: launcher/ (portable) beneath platform/launcher/. Folders above the library
(tools/, examples/, tests/, bench/, fuzz/) may include anything; the public headers in
include/cognexa include only each other, by angle brackets.
"""
import pathlib
import re
import sys

ALLOWED = {
    "foundation": {"foundation"},
    "platform": {"platform", "foundation"},
    "platform/launcher": {"platform/launcher", "launcher"},
    "equations": {"equations", "foundation"},
    "data": {"data", "foundation"},
    "registry": {"registry", "equations", "data", "foundation"},
    "launcher": {"launcher"},
    "include/cognexa": set(),
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def Folder_Rule(relative):
    """The longest folder of ALLOWED that holds the file, or None."""
    parts = relative.parts[:-1]
    for length in range(len(parts), 0, -1):
        folder = "/".join(parts[:length])
        if folder in ALLOWED:
            return folder
    return None


def Included_Folder(target, allowed):
    """The folder of ALLOWED (or an allowed one) that a quoted include names, or '' if none."""
    for folder in sorted(allowed | set(ALLOWED), key=len, reverse=True):
        if target.startswith(folder + "/"):
            return folder
    return ""


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    faults = []
    paths = {path for folder in ALLOWED for path in (root / folder).rglob("*")}
    for path in sorted(paths):
        if path.suffix not in (".h", ".cpp", ".c"):
            continue
        relative = path.relative_to(root)
        folder = Folder_Rule(relative)
        if folder is None:
            continue
        for target in INCLUDE.findall(path.read_text(errors="replace")):
            included = Included_Folder(target, ALLOWED[folder])
            if "/" in target and included not in ALLOWED[folder]:
                faults.append(f"{relative}: includes \"{target}\", but {folder}/ may include only "
                              + (", ".join(sorted(f + "/" for f in ALLOWED[folder])) or "<cognexa/...>"))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
