#!/usr/bin/env python3
"""Screenshots of the launcher's pages in WebKitGTK, for looking at the art (not shipped).

Serves launcher/pages/ through a "res" scheme that finds names regardless of case, as the
launcher does, and stands in for window.external with English captions. The pointer really
moves (xdotool), so hovering goes through the image map as a player's mouse would.

    xvfb-run -s "-screen 0 800x600x24" /usr/bin/python3 launcher/art/preview/preview.py OUT_DIR
"""

import os
import subprocess
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
gi.require_version("WebKit2", "4.1")
from gi.repository import Gdk, Gio, GLib, Gtk, WebKit2  # noqa: E402

PAGES_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "pages")
BASE = "res:///opt/game/Vestibar/"

CAPTIONS = {
    "DisplayAnalyze": "Analyze Your Computer", "DisplayBack": "Go Back", "DisplayExit": "Exit",
    "DisplayGuide": "View Troubleshooting Guide", "DisplayHelp": "Help", "DisplayInstall": "Install",
    "DisplayLicense": "View License Agreement", "DisplayOptions": "Options",
    "DisplayReadMe": "View ReadMe", "DisplayStart": "Start Game", "DisplayUninstall": "Uninstall",
    "DisplayVisitWeb": "Visit www.hollowbrook-games.example", "PageHelp": "Help.htm",
    "PageInstall": "Install.htm", "PageInstallOptions": "PreOptions.htm", "PageMain": "Main.htm",
    "PageMainOptions": "OptionsNR.htm",
}

FAKE_EXTERNAL = """
(function () {
  const captions = %s;
  const suffix = %s;
  const calls = [];
  const lookup = (key) => {
    const found = Object.keys(captions).find((k) => k.toLowerCase() === String(key).toLowerCase());
    if (found) return captions[found];
    const m = /^Background(\\w+)$/i.exec(key);
    return m ? m[1] + "_up" + suffix + ".GIF" : key;
  };
  window.external = {
    calls,
    Quit: () => { calls.push("Quit"); return Promise.resolve(); },
    Minimize: () => { calls.push("Minimize"); return Promise.resolve(); },
    GetParameter: (key) => Promise.resolve(lookup(key)),
    SetParameter: () => Promise.resolve(),
    DoFunction: (name) => { calls.push(name); return Promise.resolve("success"); },
  };
})();
"""

# (file name, page, edition suffix, pointer position or None)
SHOTS = [(f"{page.lower()}{suffix.lower() or '_plain'}.png", page, suffix, None)
         for page in ("Main", "Install", "Help", "OptionsNR", "PreOptions")
         for suffix in ("", "_int", "_italian", "_spanish")]
SHOTS += [
    ("main_hover_start.png", "Main", "_int", (480, 210)),
    ("optionsnr_hover_third.png", "OptionsNR", "_int", (400, 271)),
    ("preoptions_hover_back.png", "PreOptions", "_spanish", (500, 275)),
    ("help_hover_close.png", "Help", "_italian", (632, 20)),
    ("install_hover_minimize.png", "Install", "_int", (610, 20)),
]

STATE = """JSON.stringify({overlay: document.getElementById('overlay').src.split('/').pop(),
  background: document.body.getAttribute('background'),
  captions: Array.from(document.querySelectorAll('.caption')).map(c => c.textContent + ' ' + getComputedStyle(c).color),
  calls: window.external.calls})"""


def serve(request):
    wanted = request.get_path().rsplit("/", 1)[-1].lower()
    for name in os.listdir(PAGES_DIR):
        if name.lower() == wanted:
            with open(os.path.join(PAGES_DIR, name), "rb") as source:
                data = source.read()
            kind = {"htm": "text/html", "css": "text/css", "gif": "image/gif", "js": "text/javascript"}
            stream = Gio.MemoryInputStream.new_from_bytes(GLib.Bytes.new(data))
            request.finish(stream, len(data), kind.get(wanted.rsplit(".", 1)[-1], "application/octet-stream"))
            return
    request.finish_error(GLib.Error.new_literal(Gio.io_error_quark(), "not found", Gio.IOErrorEnum.NOT_FOUND))


class Preview:
    def __init__(self, out_dir):
        self.out_dir = out_dir
        self.shots = list(SHOTS)
        context = WebKit2.WebContext.get_default()
        context.register_uri_scheme("res", serve)
        self.content = WebKit2.UserContentManager()
        self.view = WebKit2.WebView.new_with_user_content_manager(self.content)
        self.window = Gtk.Window(decorated=False)
        self.window.set_default_size(650, 504)
        self.window.move(0, 0)
        self.window.add(self.view)
        self.window.show_all()
        self.view.connect("load-changed", self.on_load)
        GLib.timeout_add(500, self.next_shot)

    def next_shot(self):
        if not self.shots:
            Gtk.main_quit()
            return False
        self.current = self.shots.pop(0)
        _, page, suffix, _ = self.current
        subprocess.run(["xdotool", "mousemove", "700", "580"], check=True)
        self.content.remove_all_scripts()
        self.content.add_script(WebKit2.UserScript.new(
            FAKE_EXTERNAL % (repr(CAPTIONS).replace("'", '"'), '"' + suffix + '"'),
            WebKit2.UserContentInjectedFrames.TOP_FRAME, WebKit2.UserScriptInjectionTime.START, None, None))
        self.view.load_uri(BASE + page + ".htm")
        return False

    def on_load(self, view, event):
        if event == WebKit2.LoadEvent.FINISHED:
            GLib.timeout_add(600, self.hover)

    def hover(self):
        pointer = self.current[3]
        if pointer:
            subprocess.run(["xdotool", "mousemove", str(pointer[0]), str(pointer[1])], check=True)
        GLib.timeout_add(500, self.capture)
        return False

    def capture(self):
        name = self.current[0]
        pixbuf = Gdk.pixbuf_get_from_window(self.view.get_window(), 0, 0, 650, 504)
        pixbuf.savev(os.path.join(self.out_dir, name), "png", [], [])
        self.view.run_javascript(STATE, None, self.report, name)
        return False

    def report(self, view, result, name):
        value = view.run_javascript_finish(result).get_js_value().to_string()
        print(name, value, flush=True)
        GLib.idle_add(self.next_shot)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    Preview(out)
    Gtk.main()
