"""The sample installation's access to the launcher's registry stand-in.

The registry is two REGEDIT4 files in one directory ($VESTIBAR_REGISTRY_DIR, else
$XDG_CONFIG_HOME/vestibar, else ~/.config/vestibar); the installation's keys live in system.reg
(HKEY_LOCAL_MACHINE). Writing replaces whole keys and keeps every other key as it was.
"""

import os
import tempfile

HIVE = "HKEY_LOCAL_MACHINE"
PRODUCT_KEY = r"SOFTWARE\Hollowbrook\Quillmarsh Rift Tactics\1.0"
PRODUCT_GUID = "5A1E0C7B-93D2-4F68-B0A4-6E2C9D17F3B8"
# Left in the installation directory by the setup program; the uninstaller removes only such one.
INSTALLATION_MARK = ".hbk-installation"
UNINSTALL_KEY = r"SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{" + PRODUCT_GUID + "}"


def registry_directory():
    if os.environ.get("VESTIBAR_REGISTRY_DIR"):
        return os.environ["VESTIBAR_REGISTRY_DIR"]
    config = os.environ.get("XDG_CONFIG_HOME") or os.path.join(os.path.expanduser("~"), ".config")
    return os.path.join(config, "vestibar")


def system_file():
    return os.path.join(registry_directory(), "system.reg")


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def _key_of(line):
    """The key path of a "[...]" line without its hive, upper-cased; None for other lines."""
    line = line.strip()
    if not (line.startswith("[") and line.endswith("]")):
        return None
    path = line[1:-1]
    if path.upper().startswith(HIVE + "\\"):
        path = path[len(HIVE) + 1:]
    return path.upper()


def _read_lines():
    try:
        with open(system_file(), encoding="utf-8") as registry:
            lines = registry.read().splitlines()
    except FileNotFoundError:
        lines = []
    return lines if lines and lines[0].strip() == "REGEDIT4" else ["REGEDIT4"]


def _write_lines(lines):
    os.makedirs(registry_directory(), exist_ok=True)
    handle, temporary = tempfile.mkstemp(dir=registry_directory(), prefix=".system.reg.")
    with os.fdopen(handle, "w", encoding="utf-8") as registry:
        registry.write("\n".join(lines).rstrip("\n") + "\n")
    os.replace(temporary, system_file())


def _without_keys(lines, keys):
    wanted = {key.upper() for key in keys}
    kept, skipping = [], False
    for line in lines:
        key = _key_of(line)
        if key is not None:
            skipping = key in wanted
        if not skipping:
            kept.append(line)
    return kept


def replace_keys(keys):
    """keys: {key path: [(value name, data text as the file writes it)]}; None drops the key."""
    lines = _without_keys(_read_lines(), keys.keys())
    for key, values in keys.items():
        if values is None:
            continue
        lines += ["", f"[{HIVE}\\{key}]"] + [f"{quoted(name)}={data}" for name, data in values]
    _write_lines(lines)
