#!/usr/bin/env python3
"""End-to-end tests of the launcher program in a virtual X server.

Each test makes its own registry directory, runtime directory (where the single-instance lock
lives) and trace file, starts the real program and watches what it reports through the test
trace (VESTIBAR_TEST_TRACE): pages loaded, navigations refused, the text the page shows, calls
from the page.

    launcher_e2e.py /path/to/vestibar [LauncherEndToEnd.test_Name ...]
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

LAUNCHER = None
PRODUCT_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Hollowbrook\Quillmarsh Rift Tactics\1.0"
UNINSTALL_KEY = (r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
                 r"\{5A1E0C7B-93D2-4F68-B0A4-6E2C9D17F3B8}")
START_TIMEOUT = 60
SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "installation")
# The page's origin on the 1024 x 768 screen, and the centre of the first button in the page.
PAGE_ORIGIN = (187, 132)
FIRST_BUTTON = (488, 211)
BUTTON_PITCH = 30
LIT = "rgb(80,199,244)"


class Run:
    """One launcher process with its own directories."""

    def __init__(self, root, name, env_extra=None, runtime_dir=None, cwd=None):
        self.trace = os.path.join(root, name + ".trace")
        env = dict(os.environ)
        env.update({
            "VESTIBAR_REGISTRY_DIR": os.path.join(root, "registry"),
            "VESTIBAR_TEST_TRACE": self.trace,
            "XDG_RUNTIME_DIR": runtime_dir or os.path.join(root, "runtime"),
            "LANGUAGE": "", "LC_ALL": "", "LC_MESSAGES": "", "LANG": "C",
        })
        env.update(env_extra or {})
        self.process = subprocess.Popen([LAUNCHER], env=env, cwd=cwd or root,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def lines(self):
        try:
            with open(self.trace, encoding="utf-8") as trace:
                return trace.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_for(self, predicate, what, timeout=START_TIMEOUT):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for line in self.lines():
                if predicate(line):
                    return line
            if self.process.poll() is not None:
                break
            time.sleep(0.1)
        raise AssertionError(f"launcher never reported {what}; trace: {self.lines()}")

    def page(self):
        line = self.wait_for(lambda l: l.startswith("page "), "a loaded page")
        return line.split("/")[-1]

    def wait_gone(self, timeout=30):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"launcher still running; trace: {self.lines()}")

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        return self.process.wait(timeout=30)


class LauncherEndToEnd(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.TemporaryDirectory(prefix="vestibar-e2e-")
        self.root = self.directory.name
        os.makedirs(os.path.join(self.root, "registry"))
        os.makedirs(os.path.join(self.root, "runtime"))
        self.runs = []

    def tearDown(self):
        for run in self.runs:
            if run.process.poll() is None:
                run.process.kill()
                run.process.wait()
        self.directory.cleanup()

    def start(self, name="first", **options):
        run = Run(self.root, name, **options)
        self.runs.append(run)
        return run

    def write_system_registry(self, text):
        with open(os.path.join(self.root, "registry", "system.reg"), "w", encoding="utf-8") as reg:
            reg.write(text)

    def installed(self, data):
        self.write_system_registry(f"REGEDIT4\n\n[{PRODUCT_KEY}]\n\"Installed\"={data}\n")

    def test_StartPage(self):
        cases = [("dword:00000001", "main.htm"), ("dword:00000000", "install.htm"),
                 ("dword:00000002", "install.htm"), ('"1"', "install.htm"), (None, "install.htm")]
        for data, expected in cases:
            with self.subTest(installed=data):
                if data is None:
                    os.remove(os.path.join(self.root, "registry", "system.reg"))
                else:
                    self.installed(data)
                run = self.start(f"installed-{len(self.runs)}")
                self.assertEqual(run.page().lower(), expected)
                self.assertEqual(run.stop(), 0)

    def test_CaptionReachesPage(self):
        self.installed("dword:00000001")
        run = self.start(env_extra={"VESTIBAR_LANGID": "0x0407"})
        run.wait_for(lambda l: l.startswith("text ") and "Spiel starten" in l and "Beenden" in l,
                     "the German captions in the page")
        run.wait_for(lambda l: l == "call GetParameter -> Spiel starten", "the caption call")
        self.assertEqual(run.stop(), 0)

    def test_Quit(self):
        run = self.start(env_extra={"VESTIBAR_TEST_SCRIPT": "window.external.quit()"})
        self.assertEqual(run.process.wait(timeout=START_TIMEOUT), 0)
        self.assertIn("call quit -> (none)", run.lines())

    def test_SecondInstance(self):
        first = self.start()
        first.page()
        second = self.start("second")
        self.assertEqual(second.process.wait(timeout=20), 1)
        self.assertEqual(second.lines(), [], "the second copy must show nothing")
        self.assertIsNone(first.process.poll(), "the first copy keeps running")
        self.assertEqual(first.stop(), 0)
        # The lock goes with the process: a new start succeeds.
        third = self.start("third")
        third.page()
        self.assertEqual(third.stop(), 0)

    def test_DamagedRegistry(self):
        for text in ["not a registry file\n", "REGEDIT4\n[" + PRODUCT_KEY + "\n\"Installed\"=dword:1\n",
                     "\x00\xff garbage"]:
            with self.subTest(text=text):
                self.write_system_registry(text)
                run = self.start(f"damaged-{len(self.runs)}")
                self.assertEqual(run.page().lower(), "install.htm")
                self.assertEqual(run.stop(), 0)

    def test_WindowPlacement(self):
        if shutil.which("xwininfo") is None:
            self.skipTest("xwininfo (x11-utils) is not installed")
        run = self.start()
        run.page()
        tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True, check=True).stdout
        windows = [line for line in tree.splitlines() if '"Quillmarsh\u2122: Rift Tactics\u2122"' in line]
        self.assertTrue(windows, "no window titled with the product name:\n" + tree)
        # 650 x 504 centred on the 1024 x 768 screen, with no frame around it.
        self.assertIn("650x504+187+132", windows[0])
        self.assertEqual(run.stop(), 0)

    def test_ForeignNavigationRefused(self):
        # A dropped file or a stray link would navigate away; only the launcher's own pages load.
        run = self.start(env_extra={"VESTIBAR_TEST_SCRIPT": "window.location.href = 'about:blank'"})
        run.page()
        run.wait_for(lambda l: l == "refused about:blank", "the navigation refused")
        pages = [line for line in run.lines() if line.startswith("page ")]
        self.assertTrue(all(line.startswith("page res://") for line in pages), pages)
        self.assertEqual(run.stop(), 0)

    def test_LockFailure(self):
        run = self.start(runtime_dir=os.path.join(self.root, "no", "such", "directory"))
        self.assertEqual(run.process.wait(timeout=20), 1)
        self.assertEqual(run.lines(), [])



def pointer(position, click=False):
    """Moves the real pointer to a position in the page (and clicks there)."""
    x, y = PAGE_ORIGIN[0] + position[0], PAGE_ORIGIN[1] + position[1]
    subprocess.run(["xdotool", "mousemove", str(x), str(y)] + (["click", "1"] if click else []), check=True)


def button(index):
    return FIRST_BUTTON[0], FIRST_BUTTON[1] + BUTTON_PITCH * index


def answer_dialog(run, text_part, key="Return"):
    """Answers the launcher's message box that shows text_part, as a player at the keyboard would."""
    run.wait_for(lambda l: l.startswith("message ") and text_part in l, f"the question {text_part!r}")
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "vestibar"],
                               capture_output=True, text=True).stdout.split()
        for window in found:
            geometry = subprocess.run(["xdotool", "getwindowgeometry", window], capture_output=True, text=True).stdout
            if "650x504" in geometry:
                continue  # the launcher's own window
            subprocess.run(["xdotool", "windowfocus", "--sync", window], check=False)
            subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True)
            return
        time.sleep(0.2)
    raise AssertionError(f"no dialog window for {text_part!r}")


@unittest.skipUnless(shutil.which("xdotool"), "xdotool is not installed")
class SampleInstallation(unittest.TestCase):
    """The launcher on the sample installation, driven with real pointer events."""

    def setUp(self):
        self.directory = tempfile.TemporaryDirectory(prefix="vestibar-sample-")
        self.root = self.directory.name
        self.disc = os.path.join(self.root, "disc")
        self.installed = os.path.join(self.root, "installed")
        shutil.copytree(os.path.join(SAMPLE, "disc"), self.disc)
        subprocess.run([sys.executable, os.path.join(SAMPLE, "make_sounds.py"), os.path.join(self.disc, "HbkSetup")],
                       check=True)
        for name in ("registry", "runtime"):
            os.makedirs(os.path.join(self.root, name))
        self.runs = []

    def tearDown(self):
        for run in self.runs:
            if run.process.poll() is None:
                run.process.kill()
                run.process.wait()
        self.directory.cleanup()

    def start(self, name="launcher", cwd=None):
        run = Run(self.root, name, cwd=cwd or self.disc)
        self.runs.append(run)
        run.wait_for(lambda l: l.startswith("state overlay=blank.gif"), "a page ready for the pointer")
        pointer((-50, -50))
        return run

    def register_game(self, exe_path):
        """The registry as the setup program leaves it, with the test's own game."""
        shutil.copytree(os.path.join(self.disc, "HbkSetup"), os.path.join(self.installed, "HbkSetup"))
        escaped = lambda text: text.replace("\\", "\\\\")
        with open(os.path.join(self.root, "registry", "system.reg"), "w", encoding="utf-8") as reg:
            reg.write(f'REGEDIT4\n\n[{PRODUCT_KEY}]\n"Installed"=dword:00000001\n'
                      f'"InstallPath"="{escaped(self.installed)}"\n"ExePath"="{escaped(exe_path)}"\n')

    def test_HoverAndLeaveChangeOverlayAndCaption(self):
        self.register_game(self.installed + "\\Game.exe")
        run = self.start()
        pointer(button(2))
        run.wait_for(lambda l: l == f"state overlay=main_optionshi.gif lit=caption3:{LIT}",
                     "the third button lit")
        hover_sound = os.path.join(self.installed, "HbkSetup", "Hover.wav")
        run.wait_for(lambda l: l.startswith(f"sound {hover_sound}") and "wait" not in l, "the hover sound")
        pointer((488, 195))  # between the panel's top and the first button
        run.wait_for(lambda l: l == "state overlay=blank.gif lit=", "the overlay cleared again")
        pointer((632, 20))
        run.wait_for(lambda l: l == "state overlay=main_closehi.gif lit=", "the close button lit")
        self.assertEqual(run.stop(), 0)

    def test_HelpThenBackReturnsToInstallPage(self):
        run = self.start()
        self.assertEqual(run.page().lower(), "install.htm")
        pointer(button(1), click=True)
        run.wait_for(lambda l: l.lower().endswith("/help.htm"), "the help page")
        run.wait_for(lambda l: l.startswith("text ") and "Analyze Your Computer" in l, "the help captions")
        pointer(button(3), click=True)
        pages = lambda: [l.split("/")[-1].lower() for l in run.lines() if l.startswith("page ")]
        deadline = time.monotonic() + 20
        while pages()[-1:] != ["install.htm"] and time.monotonic() < deadline:
            time.sleep(0.1)
        self.assertEqual(pages(), ["install.htm", "help.htm", "install.htm"])
        self.assertEqual(run.stop(), 0)

    def start_game_answering_yes(self, run):
        pointer(button(0), click=True)
        # No GPU here: the CPU renderer is insufficient 3D hardware; no sound card either.
        answer_dialog(run, "Insufficient 3d hardware detected")
        answer_dialog(run, "Your sound card is either missing or disabled.")

    def test_StartRunsTheGameAndCloses(self):
        marker = os.path.join(self.root, "game-started")
        game = os.path.join(self.installed, "Game.exe")
        os.makedirs(self.installed)
        with open(game, "w", encoding="utf-8") as script:
            script.write(f"#!/bin/sh\npwd > '{marker}.tmp'\necho \"$#\" >> '{marker}.tmp'\n"
                         f"mv '{marker}.tmp' '{marker}'\n")
        os.chmod(game, 0o755)
        self.register_game(self.installed + "\\Game.exe")
        run = self.start()
        self.start_game_answering_yes(run)
        self.assertEqual(run.wait_gone(), 0)
        deadline = time.monotonic() + 10
        while not os.path.exists(marker) and time.monotonic() < deadline:
            time.sleep(0.1)
        with open(marker, encoding="utf-8") as started:
            self.assertEqual(started.read().split(), [self.installed, "0"])
        self.assertIn("call DoFunction -> success", run.lines())

    def test_StartWithMissingGameStaysOpen(self):
        self.register_game(self.installed + "\\NoSuchGame.exe")
        run = self.start()
        self.start_game_answering_yes(run)
        run.wait_for(lambda l: l.startswith("shell ") and l.endswith("-> 2"), "the refused start")
        run.wait_for(lambda l: l == "call DoFunction -> (none)", "the command stopping")
        # A close asked for by the command would be handled before the pointer's next move: the
        # launcher answering that move shows it is still open.
        pointer(button(2))
        run.wait_for(lambda l: l == f"state overlay=main_optionshi.gif lit=caption3:{LIT}", "the third button lit")
        self.assertIsNone(run.process.poll(), "the launcher must stay open")
        self.assertEqual(run.stop(), 0)

    def test_InstallThenUninstall(self):
        with open(os.path.join(self.disc, "Setup.ini"), "w", encoding="utf-8") as ini:
            ini.write(f"[paths]\ninstall_dir = {self.installed}\ngame_program = /bin/true\n"
                      f"game_root = {self.root}\n")
        run = self.start("before-install")
        pointer(button(0), click=True)
        self.assertEqual(run.wait_gone(), 0)
        # The setup program outlives the launcher; its last act is writing the registry.
        system_reg = os.path.join(self.root, "registry", "system.reg")
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if os.path.exists(system_reg):
                with open(system_reg, encoding="utf-8") as reg:
                    if f"[{UNINSTALL_KEY}]" in reg.read():
                        break
            time.sleep(0.1)
        else:
            self.fail("the setup program never wrote the uninstall entry")
        run = self.start("installed")
        self.assertEqual(run.page().lower(), "main.htm")
        self.assertTrue(os.path.exists(os.path.join(self.installed, "HbkSetup", "Click.wav")))
        pointer(button(2), click=True)
        run.wait_for(lambda l: l.lower().endswith("/optionsnr.htm"), "the options page")
        run.wait_for(lambda l: l.startswith("text ") and "Uninstall" in l, "the options captions")
        pointer(button(1), click=True)
        self.assertEqual(run.wait_gone(), 0)
        deadline = time.monotonic() + 20
        while os.path.exists(self.installed) and time.monotonic() < deadline:
            time.sleep(0.1)
        self.assertFalse(os.path.exists(self.installed))

        run = self.start("after-uninstall")
        self.assertEqual(run.page().lower(), "install.htm")
        with open(os.path.join(self.root, "registry", "system.reg"), encoding="utf-8") as reg:
            registry = reg.read()
        self.assertNotIn("Installed", registry)
        self.assertNotIn(UNINSTALL_KEY, registry)
        self.assertEqual(run.stop(), 0)


if __name__ == "__main__":
    LAUNCHER = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
