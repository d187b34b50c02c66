#!/usr/bin/env python3
"""Makes the launcher's application icon from the emblem of the main page's background: the
radar disc cut out round, on a transparent ground, in the sizes the desktop asks for.

Needs Debian's python3-pil. Reads launcher/pages/MAIN_UP_INT.GIF, writes launcher/art/icons/:
    /usr/bin/python3 launcher/art/make_icon.py
"""

import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "..", "pages", "MAIN_UP_INT.GIF")
OUTPUT_DIR = os.path.join(HERE, "icons")
EMBLEM_CENTRE, EMBLEM_RADIUS = (182, 238), 122  # the disc with its rim
SIZES = [256, 128, 48]
SUPERSAMPLE = 4


def emblem():
    x, y = EMBLEM_CENTRE
    box = (x - EMBLEM_RADIUS, y - EMBLEM_RADIUS, x + EMBLEM_RADIUS, y + EMBLEM_RADIUS)
    disc = Image.open(SOURCE).convert("RGB").crop(box)
    side = 2 * EMBLEM_RADIUS
    # The mask is drawn large and scaled down so that the round edge is smooth.
    mask = Image.new("L", (side * SUPERSAMPLE, side * SUPERSAMPLE), 0)
    ImageDraw.Draw(mask).ellipse((0, 0, side * SUPERSAMPLE - 1, side * SUPERSAMPLE - 1), fill=255)
    icon = disc.convert("RGBA")
    icon.putalpha(mask.resize((side, side), Image.LANCZOS))
    return icon


def main():
    os.makedirs(OUTPUT_DIR, exist_ok=True)
    icon = emblem()
    for size in SIZES:
        icon.resize((size, size), Image.LANCZOS).save(os.path.join(OUTPUT_DIR, f"vestibar-{size}.png"), optimize=True)


if __name__ == "__main__":
    main()
