#!/usr/bin/env python3
"""Drives the launcher's pages in WebKitGTK with a real pointer (xdotool) and a recording
window.external that answers with promises, as the launcher's does. Run under an X server:

    xvfb-run -a -s "-screen 0 800x600x24" python3 tests/launcher/pages/test_page_script.py [pages directory]

Exits 77 (skipped) when WebKitGTK's introspection data or xdotool is missing.
"""

import json
import os
import shutil
import subprocess
import sys

SKIPPED = 77
try:
    import gi
    gi.require_version("Gtk", "3.0")
    gi.require_version("WebKit2", "4.1")
    from gi.repository import Gio, GLib, Gtk, WebKit2
except (ImportError, ValueError):
    print("skipped: python3-gi with WebKit2 4.1 is not installed")
    sys.exit(SKIPPED)
if shutil.which("xdotool") is None or not os.environ.get("DISPLAY"):
    print("skipped: needs xdotool and an X display")
    sys.exit(SKIPPED)

PAGES_DIR = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "launcher", "pages")
PROGRAM = "res:///opt/game/vestibar/"
AWAY = (700, 560)

# The recording launcher: answers every key with a caption or the key itself, as the profile does.
FAKE_EXTERNAL = """
(function () {
  const answers = {PageHelp: "Help.htm", PageInstall: "Install.htm", PageMain: "Main.htm",
                   PageMainOptions: "OptionsNR.htm", PageInstallOptions: "PreOptions.htm",
                   BackgroundInstall: "Install_up_int.GIF", BackgroundHelp: "Help_up_int.GIF",
                   DisplayStart: "Start Game", DisplayHelp: "Help"};
  const calls = JSON.parse(sessionStorage.getItem("calls") || "[]");
  const record = (call) => { calls.push(call); sessionStorage.setItem("calls", JSON.stringify(calls)); };
  window.external = {
    take: () => { sessionStorage.setItem("calls", "[]"); return calls.splice(0); },
    Quit: () => { record("Quit"); return Promise.resolve(); },
    Minimize: () => { record("Minimize"); return Promise.resolve(); },
    GetParameter: (key) => Promise.resolve(key in answers ? answers[key] : key),
    SetParameter: () => Promise.resolve(),
    DoFunction: (name) => { record(name); return Promise.resolve("success"); },
  };
})();
"""

STATE = """JSON.stringify({
  page: location.pathname.split('/').pop(),
  overlay: document.getElementById('overlay').src.split('/').pop(),
  lit: Array.from(document.querySelectorAll('.caption'))
    .filter(c => getComputedStyle(c).color !== 'rgb(255, 255, 255)')
    .map(c => c.id + ' ' + getComputedStyle(c).color),
  captions: Array.from(document.querySelectorAll('.caption')).map(c => c.textContent),
  background: document.body.getAttribute('background'),
  calls: window.external.take(),
  menuCancelled: !document.body.dispatchEvent(new MouseEvent('contextmenu', {bubbles: true, cancelable: true}))
})"""


# The page is ready when its script's recording launcher is in place and the document is whole;
# what was recorded while loading is dropped.
READY = """(document.readyState === 'complete' && typeof window.external === 'object'
            && window.external.take() !== null)"""
PATIENCE_US = 15 * 1000 * 1000


def centre(index):
    return 488, 211 + 30 * index


# Each case: a name (the fault it would catch) and its steps. A step is ("load", page),
# ("move" | "click", (x, y)), or ("expect", {field: value}) checked against STATE; "calls" are
# those made since the previous expectation.
CASES = [
    ("hover_lights_only_its_own_button_and_asks_for_the_hover_sound", [
        ("load", "OptionsNR.htm"),
        ("move", centre(2)),
        ("expect", {"overlay": "options_licensehi.gif", "lit": ["caption3 rgb(80, 199, 244)"],
                    "calls": ["SoundOver"]}),
        ("move", centre(0)),
        ("expect", {"overlay": "options_webhi.gif", "lit": ["caption1 rgb(80, 199, 244)"],
                    "calls": ["SoundOver"]}),
    ]),
    ("leaving_a_button_restores_blank_overlay_and_white_captions", [
        ("load", "Main.htm"),
        ("move", centre(1)),
        ("move", (488, 226)),
        ("expect", {"overlay": "blank.gif", "lit": [], "calls": ["SoundOver"]}),
    ]),
    ("close_and_minimize_light_up_without_sound_and_act", [
        ("load", "Help.htm"),
        ("move", (632, 20)),
        ("expect", {"overlay": "help_closehi.gif", "lit": [], "calls": []}),
        ("move", (611, 20)),
        ("expect", {"overlay": "help_minimizehi.gif", "lit": [], "calls": []}),
        ("click", (611, 20)),
        ("expect", {"calls": ["Minimize"]}),
        ("click", (632, 20)),
        ("expect", {"calls": ["Quit"]}),
    ]),
    ("captions_and_background_come_from_the_profile_and_missing_keys_show_their_names", [
        ("load", "Main.htm"),
        ("expect", {"captions": ["Start Game", "Help", "DisplayOptions", "DisplayExit"],
                    "background": "BackgroundMain",
                    "menuCancelled": True}),
    ]),
    ("start_runs_the_command_without_a_page_sound_and_stays", [
        ("load", "Main.htm"),
        ("click", centre(0)),
        ("expect", {"page": "Main.htm", "calls": ["SoundOver", "Start"]}),
    ]),
    ("exit_clicks_then_quits", [
        ("load", "Install.htm"),
        ("click", centre(3)),
        ("expect", {"calls": ["SoundOver", "SoundClick", "Quit"]}),
    ]),
    ("help_back_returns_to_the_page_that_led_there", [
        ("load", "Install.htm"),
        ("click", centre(1)),
        ("expect", {"page": "Help.htm", "background": "Help_up_int.GIF",
                    "calls": ["SoundOver", "SoundClick"]}),
        ("click", centre(3)),
        ("expect", {"page": "Install.htm", "overlay": "blank.gif", "lit": [],
                    "calls": ["SoundOver", "SoundClick"]}),
    ]),
]


def serve(served):
    def handler(request):
        wanted = request.get_path().rsplit("/", 1)[-1].lower()
        for name in os.listdir(PAGES_DIR):
            if name.lower() == wanted:
                served.add(wanted)
                with open(os.path.join(PAGES_DIR, name), "rb") as source:
                    data = source.read()
                kinds = {"htm": "text/html", "css": "text/css", "gif": "image/gif", "js": "text/javascript"}
                request.finish(Gio.MemoryInputStream.new_from_bytes(GLib.Bytes.new(data)), len(data),
                               kinds.get(wanted.rsplit(".", 1)[-1], "application/octet-stream"))
                return
        request.finish_error(GLib.Error.new_literal(Gio.io_error_quark(), wanted, Gio.IOErrorEnum.NOT_FOUND))
    return handler


class Runner:
    def __init__(self):
        self.served = set()
        WebKit2.WebContext.get_default().register_uri_scheme("res", serve(self.served))
        content = WebKit2.UserContentManager()
        content.add_script(WebKit2.UserScript.new(
            FAKE_EXTERNAL, WebKit2.UserContentInjectedFrames.TOP_FRAME,
            WebKit2.UserScriptInjectionTime.START, None, None))
        self.view = WebKit2.WebView.new_with_user_content_manager(content)
        window = Gtk.Window(decorated=False)
        window.set_default_size(650, 504)
        window.move(0, 0)
        window.add(self.view)
        window.show_all()
        self.failures = []
        self.steps = [(name, step) for name, steps in CASES for step in steps]
        GLib.timeout_add(800, self.next_step)

    def next_step(self):
        if not self.steps:
            Gtk.main_quit()
            return False
        self.case, step = self.steps.pop(0)
        kind = step[0]
        if kind == "load":
            self.pointer(AWAY)
            self.view.load_uri(PROGRAM + step[1])
            self.deadline = GLib.get_monotonic_time() + PATIENCE_US
            GLib.timeout_add(300, self.after_load, step[1])
        elif kind in ("move", "click"):
            self.pointer(step[1], click=kind == "click")
            GLib.timeout_add(500, self.next_step)
        else:
            self.calls = []
            self.deadline = GLib.get_monotonic_time() + PATIENCE_US
            self.view.evaluate_javascript(STATE, -1, None, None, None, self.check, step[1])
        return False

    # A loaded machine may take seconds to load a page or deliver a pointer event, so each
    # expectation is asked again until it holds or the patience runs out; calls are collected
    # across the attempts, so none is lost.
    def after_load(self, page):
        self.view.evaluate_javascript(READY, -1, None, None, None, self.check_preloaded, page)
        return False

    def check_preloaded(self, view, result, page):
        ready = view.evaluate_javascript_finish(result).to_boolean()
        prefix = {"optionsnr.htm": "options_"}.get(page.lower(), page.lower().replace(".htm", "_"))
        # Counted over the whole run: a page loaded again takes its images from the cache.
        highlights = {name for name in self.served if name.startswith(prefix) and name.endswith("hi.gif")}
        if not (ready and len(highlights) >= 6):
            if GLib.get_monotonic_time() < self.deadline:
                GLib.timeout_add(100, self.after_load, page)
                return
            self.failures.append(f"{self.case}: only {sorted(highlights)} preloaded on {page}")
        GLib.idle_add(self.next_step)

    def check(self, view, result, expected):
        state = json.loads(view.evaluate_javascript_finish(result).to_string())
        self.calls += state["calls"]
        state["calls"] = self.calls
        wrong = [field for field, value in expected.items() if state[field] != value]
        if wrong and GLib.get_monotonic_time() < self.deadline:
            GLib.timeout_add(100, self.ask_again, expected)
            return
        for field in wrong:
            self.failures.append(f"{self.case}: {field} is {state[field]!r}, expected {expected[field]!r}")
        GLib.idle_add(self.next_step)

    def ask_again(self, expected):
        self.view.evaluate_javascript(STATE, -1, None, None, None, self.check, expected)
        return False

    @staticmethod
    def pointer(position, click=False):
        command = ["xdotool", "mousemove", str(position[0]), str(position[1])]
        subprocess.run(command + (["click", "1"] if click else []), check=True)


def main():
    runner = Runner()
    GLib.timeout_add_seconds(170, Gtk.main_quit)
    Gtk.main()
    unfinished = [name for name, _ in runner.steps]
    for failure in runner.failures + [f"{name}: not reached" for name in sorted(set(unfinished))]:
        print("FAIL", failure)
    print(f"{len(CASES)} cases, {len(runner.failures)} failures")
    return 1 if runner.failures or unfinished else 0


if __name__ == "__main__":
    sys.exit(main())
