#!/usr/bin/env python3
"""Screenshots of the real launcher program: every page in each language edition a player can
get (English/international, Spanish, Italian), and a hovered button. The plain edition is the
EN-US column, which no UI language selects; preview.py shows it.

    xvfb-run -a -s "-screen 0 1024x768x24" python3 launcher/art/preview/launcher_shots.py VESTIBAR OUT_DIR
"""

import os
import subprocess
import sys
import tempfile
import time

PRODUCT_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Hollowbrook\Quillmarsh Rift Tactics\1.0"
PAGE = "650x504+187+132"  # the window on a 1024 x 768 screen
LANGUAGES = {"_int": "0x0409", "_spanish": "0x0c0a", "_italian": "0x0410"}
# page: (installed, page to go to from the start page)
PAGES = {"main": (True, None), "optionsnr": (True, "OptionsNR.htm"), "install": (False, None),
         "help": (False, "Help.htm"), "preoptions": (False, "PreOptions.htm")}


def shoot(launcher, out_dir, name, language, installed, page, hover=None):
    with tempfile.TemporaryDirectory(prefix="vestibar-shot-") as root:
        os.makedirs(os.path.join(root, "registry"))
        if installed:
            with open(os.path.join(root, "registry", "system.reg"), "w", encoding="utf-8") as reg:
                reg.write(f"REGEDIT4\n\n[{PRODUCT_KEY}]\n\"Installed\"=dword:00000001\n")
        env = dict(os.environ, VESTIBAR_REGISTRY_DIR=os.path.join(root, "registry"), XDG_RUNTIME_DIR=root,
                   VESTIBAR_LANGID=language, VESTIBAR_TEST_TRACE=os.path.join(root, "trace"))
        if page:
            env["VESTIBAR_TEST_SCRIPT"] = f"window.location.href = '{page}'"
        subprocess.run(["xdotool", "mousemove", "1000", "760"], check=True)
        process = subprocess.Popen([launcher], env=env, cwd=root)
        time.sleep(6)  # the first paint is slow on a busy machine
        if hover:
            subprocess.run(["xdotool", "mousemove", str(187 + hover[0]), str(132 + hover[1])], check=True)
            time.sleep(1)
        subprocess.run(["import", "-window", "root", "-crop", PAGE, os.path.join(out_dir, name)], check=True)
        process.terminate()
        process.wait()


def main():
    launcher, out_dir = os.path.abspath(sys.argv[1]), sys.argv[2]
    os.makedirs(out_dir, exist_ok=True)
    for suffix, language in LANGUAGES.items():
        for page, (installed, target) in PAGES.items():
            shoot(launcher, out_dir, f"{page}{suffix}.png", language, installed, target)
    shoot(launcher, out_dir, "main_int_hover_start.png", "0x0409", True, None, hover=(488, 211))
    shoot(launcher, out_dir, "optionsnr_int_hover_third.png", "0x0409", True, "OptionsNR.htm", hover=(488, 271))


if __name__ == "__main__":
    main()
