#!/usr/bin/env python3
"""End-to-end tests of the launcher program in a virtual X server.

Each test makes its own registry directory, runtime directory (where the single-instance lock
lives) and trace file, starts the real program and watches what it reports through the test
trace (VESTIBAR_TEST_TRACE): pages loaded, the text the page shows, calls from the page.

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
START_TIMEOUT = 60


class Run:
    """One launcher process with its own directories."""

    def __init__(self, root, name, env_extra=None, runtime_dir=None):
        self.trace = os.path.join(root, name + ".trace")
        env = dict(os.environ)
        env.update({
            "VESTIBAR_REGISTRY_DIR": os.path.join(root, "registry"),
            "VESTIBAR_TEST_TRACE": self.trace,
            "XDG_RUNTIME_DIR": runtime_dir or os.path.join(root, "runtime"),
            "LANGUAGE": "", "LC_ALL": "", "LC_MESSAGES": "", "LANG": "C",
        })
        env.update(env_extra or {})
        self.process = subprocess.Popen([LAUNCHER], env=env, cwd=root,
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
        run.wait_for(lambda l: l.startswith("text ") and "Install" in l, "the install page's captions")
        time.sleep(2)
        pages = [line for line in run.lines() if line.startswith("page ")]
        self.assertTrue(all(line.startswith("page res://") for line in pages), pages)
        self.assertEqual(run.stop(), 0)

    def test_LockFailure(self):
        run = self.start(runtime_dir=os.path.join(self.root, "no", "such", "directory"))
        self.assertEqual(run.process.wait(timeout=20), 1)
        self.assertEqual(run.lines(), [])


if __name__ == "__main__":
    LAUNCHER = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
