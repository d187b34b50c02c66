#!/usr/bin/env python3
"""Checks the launcher's pages, style sheet and images against the layout the launcher relies on.

    python3 tests/launcher/pages/test_pages.py [pages directory]
"""

import html.parser
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gif_reader import read_gif  # noqa: E402

PAGES_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "launcher", "pages")

WIDTH, HEIGHT = 650, 504
BUTTON_LEFT, BUTTON_RIGHT, BUTTON_TOP, BUTTON_HEIGHT, BUTTON_PITCH = 358, 618, 200, 22, 30
CLOSE_AREA, MINIMIZE_AREA = (624, 11, 640, 28), (603, 11, 620, 28)
GLOW_REACH = 4
WHITE, LIT_BLUE = (255, 255, 255), (80, 199, 244)

# page file: (background key, background stem, highlight prefix, buttons as (item, caption key, action))
PAGES = {
    "MAIN.HTM": ("BackgroundMain", "MAIN", "main_", [
        ("start", "DisplayStart", "command:Start"),
        ("help", "DisplayHelp", "click go:PageHelp"),
        ("options", "DisplayOptions", "click go:PageMainOptions"),
        ("exit", "DisplayExit", "click quit")]),
    "INSTALL.HTM": ("BackgroundInstall", "INSTALL", "install_", [
        ("install", "DisplayInstall", "command:Install"),
        ("help", "DisplayHelp", "click go:PageHelp"),
        ("options", "DisplayOptions", "click go:PageInstallOptions"),
        ("exit", "DisplayExit", "click quit")]),
    "HELP.HTM": ("BackgroundHelp", "HELP", "help_", [
        ("analyze", "DisplayAnalyze", "command:Analyze"),
        ("readme", "DisplayReadMe", "command:ReadMe"),
        ("guide", "DisplayGuide", "command:Guide"),
        ("back", "DisplayBack", "click back")]),
    "OPTIONSNR.HTM": ("BackgroundOptions", "OPTIONS", "options_", [
        ("web", "DisplayVisitWeb", "command:Web"),
        ("uninstall", "DisplayUninstall", "command:Uninstall"),
        ("license", "DisplayLicense", "command:License"),
        ("back", "DisplayBack", "click go:PageMain")]),
    "PREOPTIONS.HTM": ("BackgroundPreOptions", "PREOPTIONS", "preoptions_", [
        ("web", "DisplayVisitWeb", "command:Web"),
        ("license", "DisplayLicense", "command:License"),
        ("back", "DisplayBack", "click go:PageInstall")]),
}
EDITIONS = ["", "_INT", "_ITALIAN", "_SPANISH"]


def button_area(index):
    top = BUTTON_TOP + BUTTON_PITCH * index
    return (BUTTON_LEFT, top, BUTTON_RIGHT, top + BUTTON_HEIGHT)


def overlays():
    """(file name, lit area) of every highlight overlay."""
    for _, _, prefix, buttons in PAGES.values():
        for index, (item, _, _) in enumerate(buttons):
            yield f"{prefix}{item}hi.gif".upper(), button_area(index)
        yield f"{prefix}closehi.gif".upper(), CLOSE_AREA
        yield f"{prefix}minimizehi.gif".upper(), MINIMIZE_AREA


def backgrounds():
    for _, stem, _, buttons in PAGES.values():
        yield stem, len(buttons), [f"{stem}_UP{edition}.GIF" for edition in EDITIONS]


_images = {}


def image(name):
    if name not in _images:
        _images[name] = read_gif(os.path.join(PAGES_DIR, name))
    return _images[name]


def stored_name(reference):
    """The stored file a page's reference finds: names match regardless of case."""
    wanted = reference.rsplit("/", 1)[-1].lower()
    return next((name for name in os.listdir(PAGES_DIR) if name.lower() == wanted), None)


def luminance(colour):
    def linear(channel):
        c = channel / 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in colour)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(first, second):
    light, dark = sorted((luminance(first), luminance(second)), reverse=True)
    return (light + 0.05) / (dark + 0.05)


def mean_colour(picture, box, inset):
    left, top, right, bottom = box
    pixels = [picture.colour(x, y) for y in range(top + inset, bottom - inset)
              for x in range(left + inset, right - inset)]
    return tuple(sum(p[c] for p in pixels) / len(pixels) for c in range(3))


class ResourceTest(unittest.TestCase):
    def test_every_resource_the_launcher_asks_for_is_stored_under_its_upper_case_name(self):
        expected = set(PAGES) | {"STYLE.CSS", "BLANK.GIF"}
        for _, _, names in backgrounds():
            expected |= set(names)
        expected |= {name for name, _ in overlays()}
        self.assertEqual(len(expected), 5 + 2 + 20 + 29)
        missing = sorted(name for name in expected if not os.path.isfile(os.path.join(PAGES_DIR, name)))
        self.assertEqual(missing, [])

    def test_every_image_is_a_full_size_single_frame_gif(self):
        for name in sorted(n for n in os.listdir(PAGES_DIR) if n.upper().endswith(".GIF")):
            with self.subTest(name=name):
                picture = image(name)
                self.assertEqual((picture.width, picture.height), (WIDTH, HEIGHT))

    def test_blank_overlay_hides_nothing(self):
        self.assertIsNone(image("BLANK.GIF").opaque_box())


class OverlayTest(unittest.TestCase):
    def test_each_glow_lights_its_own_button_and_nothing_else(self):
        for name, area in overlays():
            with self.subTest(name=name):
                picture = image(name)
                box = picture.opaque_box()
                self.assertIsNotNone(box, "overlay is empty")
                left, top, right, bottom = area
                self.assertGreaterEqual(box[0], left - GLOW_REACH)
                self.assertGreaterEqual(box[1], top - GLOW_REACH)
                self.assertLessEqual(box[2], right + GLOW_REACH)
                self.assertLessEqual(box[3], bottom + GLOW_REACH)
                covered = sum(picture.is_opaque(x, y) for y in range(top, bottom) for x in range(left, right))
                self.assertGreater(covered, 0.9 * (right - left) * (bottom - top), "the button is not lit")

    def test_lit_caption_colour_is_readable_on_the_lit_plate(self):
        for name, area in overlays():
            if area in (CLOSE_AREA, MINIMIZE_AREA):
                continue
            with self.subTest(name=name):
                plate = mean_colour(image(name), area, 3)
                self.assertGreaterEqual(contrast(LIT_BLUE, plate), 4.5)


class BackgroundTest(unittest.TestCase):
    def test_editions_of_a_page_differ_visibly(self):
        for stem, _, names in backgrounds():
            pictures = [image(name) for name in names]
            for first in range(len(pictures)):
                for second in range(first + 1, len(pictures)):
                    with self.subTest(stem=stem, first=names[first], second=names[second]):
                        a, b = pictures[first], pictures[second]
                        different = sum(1 for k in range(0, WIDTH * HEIGHT, 7)
                                        if a.palette[a.indices[k]] != b.palette[b.indices[k]])
                        self.assertGreater(different, 500)

    def test_plates_look_the_same_in_every_edition_so_one_overlay_fits_all(self):
        for stem, count, names in backgrounds():
            for index in range(count):
                plates = [mean_colour(image(name), button_area(index), 0) for name in names]
                for plate in plates[1:]:
                    with self.subTest(stem=stem, button=index):
                        self.assertLess(max(abs(a - b) for a, b in zip(plate, plates[0])), 4)

    def test_both_caption_colours_are_readable_on_every_plate(self):
        for stem, count, names in backgrounds():
            for name in names:
                for index in range(count):
                    with self.subTest(name=name, button=index):
                        plate = mean_colour(image(name), button_area(index), 3)
                        self.assertGreaterEqual(contrast(WHITE, plate), 7)
                        self.assertGreaterEqual(contrast(LIT_BLUE, plate), 4.5)


class PageParser(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.body, self.captions, self.areas, self.images, self.references = {}, [], [], [], []

    def handle_starttag(self, tag, attributes):
        attributes = dict(attributes)
        if tag == "body":
            self.body = attributes
        elif tag == "div" and "caption" in attributes.get("class", "").split():
            self.captions.append((attributes.get("id"), attributes.get("data-key")))
        elif tag == "area":
            self.areas.append(attributes)
        elif tag == "img":
            self.images.append(attributes)
        for key in ("src", "href"):
            if key in attributes:
                self.references.append(attributes[key])


def parse_page(name):
    parser = PageParser()
    with open(os.path.join(PAGES_DIR, name), encoding="utf-8") as source:
        parser.feed(source.read())
    return parser


class MarkupTest(unittest.TestCase):
    def test_pages_read_their_own_background_and_caption_keys(self):
        for name, (background_key, _, prefix, buttons) in PAGES.items():
            with self.subTest(page=name):
                page = parse_page(name)
                self.assertEqual(page.body.get("data-background-key"), background_key)
                self.assertEqual(page.body.get("data-highlight-prefix"), prefix)
                self.assertEqual(page.captions, [(f"caption{k + 1}", key) for k, (_, key, _) in enumerate(buttons)])

    def test_image_map_puts_each_action_on_its_button(self):
        for name, (_, _, _, buttons) in PAGES.items():
            with self.subTest(page=name):
                page = parse_page(name)
                found = [(a.get("data-item"), a.get("shape"), a.get("coords"), a.get("data-caption"),
                          a.get("data-action")) for a in page.areas]
                expected = [(item, "rect", ",".join(map(str, button_area(k))), f"caption{k + 1}", action)
                            for k, (item, _, action) in enumerate(buttons)]
                expected += [("close", "rect", "624,11,640,28", None, "quit"),
                             ("minimize", "rect", "603,11,620,28", None, "minimize")]
                self.assertEqual(found, expected)

    def test_overlay_starts_blank_at_full_size_over_the_map(self):
        for name in PAGES:
            with self.subTest(page=name):
                (overlay,) = parse_page(name).images
                self.assertEqual((overlay.get("id"), overlay.get("src").lower(), overlay.get("usemap")),
                                 ("overlay", "blank.gif", "#buttons"))
                self.assertEqual((overlay.get("width"), overlay.get("height")), ("650", "504"))

    def test_every_file_a_page_refers_to_is_stored(self):
        for name in PAGES:
            with self.subTest(page=name):
                for reference in parse_page(name).references:
                    self.assertIsNotNone(stored_name(reference), reference)

    def test_every_action_step_is_one_the_page_script_knows(self):
        with open(os.path.join(PAGES_DIR, "PAGES.JS"), encoding="utf-8") as source:
            script = source.read()
        known = set(re.findall(r"^\s{4}(\w+): ", script[script.index("const steps"):], re.MULTILINE))
        for name in PAGES:
            for area in parse_page(name).areas:
                for step in area["data-action"].split():
                    with self.subTest(page=name, step=step):
                        self.assertIn(step.split(":")[0], known)


class StyleSheetTest(unittest.TestCase):
    def rules(self):
        with open(os.path.join(PAGES_DIR, "STYLE.CSS"), encoding="utf-8") as source:
            text = re.sub(r"/\*.*?\*/", "", source.read(), flags=re.DOTALL)
        return {selector.strip(): dict(re.findall(r"([\w-]+)\s*:\s*([^;]+);", body))
                for selector, body in re.findall(r"([^{}]+)\{([^}]*)\}", text)}

    def test_captions_stand_on_the_button_areas(self):
        rules = self.rules()
        caption = rules[".caption"]
        self.assertEqual((caption["position"], caption["left"], caption["width"]), ("absolute", "358px", "260px"))
        self.assertEqual((caption["font-weight"], caption["text-align"]), ("bold", "center"))
        self.assertEqual(caption["color"].replace(" ", ""), "rgb(255,255,255)")
        self.assertEqual(caption["pointer-events"], "none")
        self.assertEqual(rules[".caption.lit"]["color"].replace(" ", ""), "rgb(80,199,244)")
        placements = [(rules[f"#caption{k}"]["top"], rules[f"#caption{k}"].get("height", caption["height"]))
                      for k in range(1, 6)]
        self.assertEqual(placements, [("203px", "16px"), ("233px", "22px"), ("263px", "22px"),
                                      ("293px", "22px"), ("323px", "22px")])

    def test_body_uses_verdana_and_an_unrepeated_background(self):
        body = self.rules()["body"]
        self.assertTrue(body["font-family"].startswith("Verdana"))
        self.assertEqual(body["font-size"], "10pt")
        self.assertEqual(body["background-repeat"], "no-repeat")


if __name__ == "__main__":
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        PAGES_DIR = sys.argv.pop(1)
    unittest.main()
