#!/usr/bin/env python3
"""Draws every image of the launcher's pages into launcher/pages/.

The art is procedural: a tactical terrain map from seeded value noise, a metal frame, the
game's emblem (a radar disc with a watching eye), a panel of button plates for the page's
captions, and the window's close and minimize buttons. Each background comes in four editions
that differ only in their accent colour and edition banner. Each highlight overlay is the lit
state of one plate or button, transparent everywhere else.

Needs Debian's python3-pil and fonts-dejavu-core. Output is byte-for-byte reproducible:
    /usr/bin/python3 launcher/art/make_images.py [output directory]
"""

import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, ImageMath

WIDTH, HEIGHT = 650, 504
SUPERSAMPLE = 3
TERRAIN_SEED = 4511

# Button plates: the captions stand on them, so they are the image map's button areas.
PLATE_LEFT, PLATE_RIGHT = 358, 618
PLATE_TOP, PLATE_HEIGHT, PLATE_PITCH = 200, 22, 30
MINIMIZE_BOX = (603, 11, 620, 28)
CLOSE_BOX = (624, 11, 640, 28)
GLOW_MARGIN = 3

PANEL_LEFT, PANEL_RIGHT, PANEL_TOP = 340, 636, 150
EMBLEM_CENTRE, EMBLEM_RADIUS = (182, 238), 118

LIT_CYAN = (80, 199, 244)
IRIS_EDGE, EYE_WHITE = (30, 120, 170), (206, 220, 226)
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

# page: (file stem, highlight prefix, items top to bottom, title per language)
PAGES = [
    ("MAIN", "MAIN_", ["START", "HELP", "OPTIONS", "EXIT"],
     {"en": "MAIN MENU", "it": "MENU PRINCIPALE", "es": "MENÚ PRINCIPAL"}),
    ("INSTALL", "INSTALL_", ["INSTALL", "HELP", "OPTIONS", "EXIT"],
     {"en": "INSTALLATION", "it": "INSTALLAZIONE", "es": "INSTALACIÓN"}),
    ("HELP", "HELP_", ["ANALYZE", "README", "GUIDE", "BACK"],
     {"en": "HELP & SUPPORT", "it": "AIUTO E SUPPORTO", "es": "AYUDA Y SOPORTE"}),
    ("OPTIONS", "OPTIONS_", ["WEB", "UNINSTALL", "LICENSE", "BACK"],
     {"en": "OPTIONS", "it": "OPZIONI", "es": "OPCIONES"}),
    ("PREOPTIONS", "PREOPTIONS_", ["WEB", "LICENSE", "BACK"],
     {"en": "OPTIONS", "it": "OPZIONI", "es": "OPCIONES"}),
]

# suffix: (accent colour, language of the titles, edition banner, banner mark)
# A mark is ("vertical" | "horizontal", [(colour, share), ...]) for a flag, or a glyph name.
EDITIONS = [
    ("", (214, 158, 62), "en", "STANDARD EDITION", "chevrons"),
    ("_INT", (72, 152, 214), "en", "INTERNATIONAL EDITION", "globe"),
    ("_ITALIAN", (64, 160, 96), "it", "EDIZIONE ITALIANA",
     ("vertical", [((0, 146, 70), 1), ((241, 242, 241), 1), ((206, 43, 55), 1)])),
    ("_SPANISH", (206, 72, 56), "es", "EDICIÓN ESPAÑOLA",
     ("horizontal", [((173, 21, 25), 1), ((250, 189, 0), 2), ((173, 21, 25), 1)])),
]


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size * SUPERSAMPLE)


def fine(value):
    """A 1x coordinate on the supersampled layers."""
    return value * SUPERSAMPLE


def plate_box(index):
    top = PLATE_TOP + PLATE_PITCH * index
    return (PLATE_LEFT, top, PLATE_RIGHT, top + PLATE_HEIGHT)


def new_layer():
    return Image.new("RGBA", (fine(WIDTH), fine(HEIGHT)), (0, 0, 0, 0))


def flatten(base, layer):
    """Composites a supersampled layer onto a 1x RGB image."""
    small = layer.resize((WIDTH, HEIGHT), Image.Resampling.LANCZOS)
    return Image.alpha_composite(base.convert("RGBA"), small).convert("RGB")


def mix(colour, other, amount):
    return tuple(round(a + (b - a) * amount) for a, b in zip(colour, other))


def chamfered(box, cut):
    left, top, right, bottom = box
    return [(left + cut, top), (right - cut, top), (right, top + cut), (right, bottom - cut),
            (right - cut, bottom), (left + cut, bottom), (left, bottom - cut), (left, top + cut)]


def scaled(points):
    return [(fine(x), fine(y)) for x, y in points]


def vertical_gradient(draw, box, top_colour, bottom_colour, alpha=255):
    left, top, right, bottom = box
    for y in range(top, bottom):
        colour = mix(top_colour, bottom_colour, (y - top) / max(1, bottom - top - 1))
        draw.line([(left, y), (right - 1, y)], fill=colour + (alpha,))


# 1. Terrain: seeded fractal value noise, shaded as relief, with contour lines and a hex grid.

def value_noise(rng, cells_x, cells_y):
    grid = Image.new("F", (cells_x, cells_y))
    grid.putdata([rng.random() for _ in range(cells_x * cells_y)])
    return grid.resize((WIDTH, HEIGHT), Image.Resampling.BICUBIC)


def height_map():
    rng = random.Random(TERRAIN_SEED)
    total, weight_sum = None, 0.0
    for octave in range(6):
        cells = 4 * 2 ** octave
        weight = 0.55 ** octave
        layer = value_noise(rng, cells + 1, cells * HEIGHT // WIDTH + 2)
        total = layer if total is None else ImageMath.eval("a + b * w", a=total, b=layer, w=weight)
        weight_sum += weight
    normalised = ImageMath.eval("a / w", a=total, w=weight_sum)
    lowest, highest = normalised.getextrema()
    stretch = 255.0 / (highest - lowest)
    return ImageMath.eval("convert((a - low) * k, 'L')", a=normalised, low=lowest, k=stretch)


TERRAIN_RAMP = [(0, (10, 22, 32)), (90, (20, 36, 40)), (140, (40, 52, 42)),
                (200, (66, 70, 54)), (255, (96, 92, 76))]


def ramp_lut(channel):
    lut = []
    for value in range(256):
        for (low, low_colour), (high, high_colour) in zip(TERRAIN_RAMP, TERRAIN_RAMP[1:]):
            if low <= value <= high:
                t = (value - low) / (high - low)
                lut.append(round(low_colour[channel] + (high_colour[channel] - low_colour[channel]) * t))
                break
    return lut


def terrain():
    heights = height_map()
    colour = Image.merge("RGB", [heights.point(ramp_lut(c)) for c in range(3)])
    relief = heights.filter(ImageFilter.EMBOSS).point(lambda v: max(0, min(255, 150 + (v - 128) * 3)))
    colour = ImageChops.multiply(colour, Image.merge("RGB", [relief] * 3))
    colour = ImageChops.add(colour, colour)

    bands = heights.point(lambda v: v // 12)
    minor = bands.filter(ImageFilter.FIND_EDGES).point(lambda v: 90 if v else 0)
    major = heights.point(lambda v: v // 60).filter(ImageFilter.FIND_EDGES).point(lambda v: 120 if v else 0)
    colour = Image.composite(Image.new("RGB", colour.size, (70, 110, 100)), colour, minor)
    colour = Image.composite(Image.new("RGB", colour.size, (110, 150, 130)), colour, major)

    grid = new_layer()
    draw = ImageDraw.Draw(grid)
    radius = 22
    step_x, step_y = radius * 1.5, radius * math.sqrt(3)
    for column in range(-1, int(WIDTH / step_x) + 2):
        for row in range(-1, int(HEIGHT / step_y) + 2):
            cx = column * step_x
            cy = row * step_y + (step_y / 2 if column % 2 else 0)
            corners = [(cx + radius * math.cos(math.pi / 3 * k), cy + radius * math.sin(math.pi / 3 * k))
                       for k in range(7)]
            draw.line(scaled(corners), fill=(130, 190, 190, 34), width=SUPERSAMPLE)
    colour = flatten(colour, grid)

    colour = flatten(colour, map_furniture())

    # Darken towards the edges so the frame and panel stand out.
    vignette = Image.radial_gradient("L").resize((WIDTH, HEIGHT), Image.Resampling.BICUBIC)
    vignette = vignette.point(lambda v: min(255, max(0, (v - 90) * 2)))
    return Image.composite(Image.new("RGB", colour.size, (4, 6, 8)), colour, vignette)


def map_furniture():
    """A compass rose and grid ticks, so the terrain reads as a tactical map."""
    layer = new_layer()
    draw = ImageDraw.Draw(layer)
    cx, cy, r = 556, 398, 32
    ink = (120, 200, 200)
    draw.ellipse([fine(cx - r), fine(cy - r), fine(cx + r), fine(cy + r)], outline=ink + (90,), width=SUPERSAMPLE)
    draw.ellipse([fine(cx - r + 6), fine(cy - r + 6), fine(cx + r - 6), fine(cy + r - 6)], outline=ink + (60,), width=SUPERSAMPLE)
    for k in range(8):
        a = math.radians(45 * k - 90)
        length = r + 8 if k % 2 == 0 else r - 10
        side = math.radians(45 * k - 90 + 90)
        tip = (cx + length * math.cos(a), cy + length * math.sin(a))
        wing = 5 if k % 2 == 0 else 3.5
        left = (cx + wing * math.cos(side), cy + wing * math.sin(side))
        right = (cx - wing * math.cos(side), cy - wing * math.sin(side))
        draw.polygon(scaled([left, tip, (cx, cy)]), fill=ink + (150 if k % 2 == 0 else 90,))
        draw.polygon(scaled([right, tip, (cx, cy)]), fill=ink + (70 if k % 2 == 0 else 45,))
    north = font("DejaVuSans-Bold.ttf", 10)
    draw.text((fine(cx), fine(cy - r - 16)), "N", font=north, anchor="mm", fill=ink + (170,))
    for x in range(40, WIDTH - 20, 32):
        draw.line(scaled([(x, 462), (x, 468 if (x - 40) % 128 else 458)]), fill=ink + (80,), width=SUPERSAMPLE)
    for y in range(72, 462, 32):
        draw.line(scaled([(10, y), (16 if (y - 72) % 128 else 20, y)]), fill=ink + (80,), width=SUPERSAMPLE)
    return layer


# 2. Frame: brushed metal bars, bevels, rivets and the accent line of the edition.

def brushed_metal(box, top_colour, bottom_colour, seed):
    left, top, right, bottom = box
    rng = random.Random(seed)
    width, height = right - left, bottom - top
    streaks = Image.new("L", (max(2, width // 24), height))
    streaks.putdata([rng.randrange(96, 160) for _ in range(streaks.width * height)])
    streaks = streaks.resize((width, height), Image.Resampling.BILINEAR)
    metal = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(metal)
    for y in range(height):
        draw.line([(0, y), (width, y)], fill=mix(top_colour, bottom_colour, y / max(1, height - 1)))
    shade = Image.merge("RGB", [streaks.point(lambda v: v + 70)] * 3)
    return ImageChops.multiply(ImageChops.add(metal, metal), shade)


def draw_bevel(draw, box, light, dark, width=1):
    left, top, right, bottom = (fine(v) for v in box)
    w = width * SUPERSAMPLE
    draw.rectangle([left, top, right - 1, top + w - 1], fill=light)
    draw.rectangle([left, top, left + w - 1, bottom - 1], fill=light)
    draw.rectangle([left, bottom - w, right - 1, bottom - 1], fill=dark)
    draw.rectangle([right - w, top, right - 1, bottom - 1], fill=dark)


def draw_rivet(draw, x, y):
    draw.ellipse([fine(x) - 5, fine(y) - 5, fine(x) + 5, fine(y) + 5], fill=(14, 16, 18, 255))
    draw.ellipse([fine(x) - 4, fine(y) - 4, fine(x) + 3, fine(y) + 3], fill=(120, 128, 136, 255))
    draw.ellipse([fine(x) - 3, fine(y) - 3, fine(x) + 1, fine(y) + 1], fill=(170, 176, 182, 255))


def frame(image, accent):
    top_bar, bottom_bar = (0, 0, WIDTH, 40), (0, 476, WIDTH, HEIGHT)
    image.paste(brushed_metal(top_bar, (58, 64, 70), (30, 34, 38), 11), top_bar[:2])
    image.paste(brushed_metal(bottom_bar, (40, 44, 48), (22, 24, 28), 12), bottom_bar[:2])
    for x0, x1 in ((0, 7), (WIDTH - 7, WIDTH)):
        image.paste(brushed_metal((x0, 40, x1, 476), (40, 44, 48), (34, 38, 42), 13 + x0), (x0, 40))

    layer = new_layer()
    draw = ImageDraw.Draw(layer)
    draw_bevel(draw, (0, 0, WIDTH, HEIGHT), (120, 128, 136, 255), (6, 8, 10, 255))
    draw_bevel(draw, (7, 40, WIDTH - 7, 476), (4, 6, 8, 255), (92, 100, 108, 200))
    # Accent line under the title bar, bent down like a cable run, ending clear of the buttons.
    run = [(10, 44), (300, 44), (310, 34), (560, 34), (570, 44), (588, 44)]
    draw.line(scaled(run), fill=accent + (255,), width=2 * SUPERSAMPLE, joint="curve")
    draw.line(scaled([(10, 471), (WIDTH - 10, 471)]), fill=mix(accent, (0, 0, 0), 0.45) + (255,),
              width=SUPERSAMPLE)
    for x in (14, 636):
        for y in (20, 490):
            draw_rivet(draw, x, y)
    hex_icon = [(36 + 9 * math.cos(math.radians(60 * k + 30)), 20 + 9 * math.sin(math.radians(60 * k + 30)))
                for k in range(6)]
    draw.polygon(scaled(hex_icon), fill=(20, 24, 28, 255), outline=(150, 158, 166, 255), width=SUPERSAMPLE)
    draw.ellipse([fine(32), fine(17.5), fine(40), fine(22.5)], fill=(200, 214, 220, 255))
    draw.ellipse([fine(34.3), fine(18.3), fine(37.7), fine(21.7)], fill=accent + (255,))
    for k in range(6):
        x = 56 + 12 * k
        draw.rectangle([fine(x), fine(17), fine(x + 8) - 1, fine(23) - 1],
                       fill=(mix(accent, (255, 255, 255), 0.2) if k < 4 else (40, 46, 52)) + (255,))
    return flatten(image, layer)


# 3. The emblem: a radar disc with crossed blades behind a hex shield holding a watching eye.

def emblem(image):
    cx, cy = EMBLEM_CENTRE
    r = EMBLEM_RADIUS
    layer = new_layer()
    draw = ImageDraw.Draw(layer)

    def circle(radius, **style):
        draw.ellipse([fine(cx - radius), fine(cy - radius), fine(cx + radius), fine(cy + radius)], **style)

    circle(r + 3, fill=(0, 0, 0, 120))
    for k in range(7):
        circle(r - k, fill=mix((150, 158, 166), (26, 30, 34), k / 6) + (255,))
    circle(r - 7, fill=(6, 14, 18, 214))

    # Sweep of the radar, brightest at its leading edge.
    for k in range(40):
        start = -100 + k * 1.5
        draw.pieslice([fine(cx - r + 8), fine(cy - r + 8), fine(cx + r - 8), fine(cy + r - 8)], start, -40,
                      fill=(60, 190, 200, 9))
    draw.line(scaled([(cx, cy), (cx + (r - 8) * math.cos(math.radians(-40)),
                                 cy + (r - 8) * math.sin(math.radians(-40)))]),
              fill=(120, 230, 240, 200), width=2 * SUPERSAMPLE)
    for ring in (36, 68, 96):
        circle(ring, outline=(70, 170, 180, 90), width=SUPERSAMPLE)
    draw.line(scaled([(cx - r + 8, cy), (cx + r - 8, cy)]), fill=(70, 170, 180, 70), width=SUPERSAMPLE)
    draw.line(scaled([(cx, cy - r + 8), (cx, cy + r - 8)]), fill=(70, 170, 180, 70), width=SUPERSAMPLE)
    for degree in range(0, 360, 10):
        a = math.radians(degree)
        inner = r - (20 if degree % 90 == 0 else 15 if degree % 30 == 0 else 12)
        draw.line(scaled([(cx + inner * math.cos(a), cy + inner * math.sin(a)),
                          (cx + (r - 8) * math.cos(a), cy + (r - 8) * math.sin(a))]),
                  fill=(110, 200, 210, 150), width=SUPERSAMPLE)
    rng = random.Random(77)
    for _ in range(7):
        a, d = rng.uniform(0, 2 * math.pi), rng.uniform(70, 100)
        x, y = cx + d * math.cos(a), cy + d * math.sin(a)
        draw.ellipse([fine(x - 2), fine(y - 2), fine(x + 2), fine(y + 2)], fill=(150, 240, 200, 220))

    # Crossed blades.
    for angle in (45, 135):
        a = math.radians(angle)
        ux, uy, vx, vy = math.cos(a), math.sin(a), -math.sin(a), math.cos(a)
        length, half = 104, 7
        blade = [(cx - ux * length, cy - uy * length), (cx + vx * half - ux * (length - 14), cy + vy * half - uy * (length - 14)),
                 (cx + vx * half + ux * (length - 14), cy + vy * half + uy * (length - 14)), (cx + ux * length, cy + uy * length),
                 (cx - vx * half + ux * (length - 14), cy - vy * half + uy * (length - 14)),
                 (cx - vx * half - ux * (length - 14), cy - vy * half - uy * (length - 14))]
        draw.polygon(scaled(blade), fill=(128, 136, 144, 255), outline=(20, 22, 26, 255))
        draw.line(scaled([blade[0], blade[3]]), fill=(196, 202, 208, 255), width=SUPERSAMPLE)

    # Hex shield: bevelled rim, dark face.
    def hexagon(radius):
        return scaled([(cx + radius * math.cos(math.radians(60 * k + 30)),
                        cy + radius * math.sin(math.radians(60 * k + 30))) for k in range(6)])

    draw.polygon(hexagon(62), fill=(10, 12, 14, 255))
    for k in range(6):
        draw.polygon(hexagon(60 - k), fill=mix((176, 184, 192), (50, 56, 62), k / 5) + (255,))
    draw.polygon(hexagon(53), fill=(16, 24, 30, 255))
    draw.polygon(hexagon(47), outline=(60, 120, 130, 255), width=SUPERSAMPLE)

    # The eye: two arcs meeting at the corners, an iris ring and a pupil.
    eye = []
    half_width, bulge = 36, 19
    rad = (half_width ** 2 + bulge ** 2) / (2 * bulge)
    for sign in (-1, 1):
        for k in range(41):
            t = -1 + k / 20 if sign < 0 else 1 - k / 20
            x = cx + t * half_width
            y = cy + sign * (math.sqrt(rad ** 2 - (t * half_width) ** 2) - (rad - bulge))
            eye.append((x, y))
    draw.polygon(scaled(eye), fill=EYE_WHITE + (255,), outline=(20, 28, 32, 255))
    for k in range(10):
        radius = 15 - k * 0.6
        circle(radius, fill=mix(IRIS_EDGE, LIT_CYAN, k / 9) + (255,))
    circle(6.5, fill=(4, 8, 10, 255))
    draw.ellipse([fine(cx + 2), fine(cy - 6), fine(cx + 6), fine(cy - 2)], fill=(255, 255, 255, 230))
    return flatten(image, layer)


MARK_WIDTH, MARK_HEIGHT = 20, 13


def draw_mark(draw, left, middle, mark):
    top, right, bottom = middle - MARK_HEIGHT / 2, left + MARK_WIDTH, middle + MARK_HEIGHT / 2
    light = (236, 238, 240, 255)
    if mark == "globe":
        cx = (left + right) / 2
        box = [fine(cx - 6.5), fine(middle - 6.5), fine(cx + 6.5), fine(middle + 6.5)]
        draw.ellipse(box, outline=light, width=SUPERSAMPLE)
        draw.ellipse([fine(cx - 3), box[1], fine(cx + 3), box[3]], outline=light, width=SUPERSAMPLE)
        draw.line([(box[0], fine(middle)), (box[2], fine(middle))], fill=light, width=SUPERSAMPLE)
        return
    if mark == "chevrons":
        for k in range(2):
            y = middle - 4 + 5 * k
            draw.line(scaled([(left + 3, y + 4), (left + 10, y), (left + 17, y + 4)]), fill=light, width=2 * SUPERSAMPLE)
        return
    orientation, stripes = mark
    total = sum(share for _, share in stripes)
    offset = 0.0
    for colour, share in stripes:
        if orientation == "vertical":
            x0, x1 = left + MARK_WIDTH * offset / total, left + MARK_WIDTH * (offset + share) / total
            draw.rectangle([fine(x0), fine(top), fine(x1) - 1, fine(bottom) - 1], fill=colour + (255,))
        else:
            y0, y1 = top + MARK_HEIGHT * offset / total, top + MARK_HEIGHT * (offset + share) / total
            draw.rectangle([fine(left), fine(y0), fine(right) - 1, fine(y1) - 1], fill=colour + (255,))
        offset += share
    draw.rectangle([fine(left) - 2, fine(top) - 2, fine(right) + 1, fine(bottom) + 1], outline=(10, 10, 10, 255), width=2)


def edition_banner(image, accent, label, mark):
    cx, middle = EMBLEM_CENTRE[0], 392
    layer = new_layer()
    draw = ImageDraw.Draw(layer)
    box = (cx - 118, middle - 12, cx + 118, middle + 12)
    draw.polygon(scaled(chamfered((box[0] - 1, box[1] - 1, box[2] + 1, box[3] + 1), 7)), fill=(4, 6, 8, 255))
    draw.polygon(scaled(chamfered(box, 6)), fill=mix(accent, (0, 0, 0), 0.55) + (255,))
    draw.polygon(scaled(chamfered((box[0] + 2, box[1] + 2, box[2] - 2, box[3] - 2), 5)),
                 outline=accent + (255,), width=SUPERSAMPLE)
    label_font = font("DejaVuSansCondensed-Bold.ttf", 11)
    gap = 7
    width = MARK_WIDTH + gap + draw.textlength(label, font=label_font) / SUPERSAMPLE
    left = cx - width / 2
    draw_mark(draw, left, middle, mark)
    draw.text((fine(left + MARK_WIDTH + gap), fine(middle)), label, font=label_font, anchor="lm", fill=(236, 238, 240, 255))
    return flatten(image, layer)


# 4. The panel with its title and one plate per button; the close and minimize buttons.

def panel(image, title, plate_count, accent):
    bottom = PLATE_TOP + PLATE_PITCH * (plate_count - 1) + PLATE_HEIGHT + 20
    layer = new_layer()
    draw = ImageDraw.Draw(layer)
    box = (PANEL_LEFT, PANEL_TOP, PANEL_RIGHT, bottom)
    draw.polygon(scaled(chamfered((box[0] - 3, box[1] - 3, box[2] + 3, box[3] + 3), 14)), fill=(0, 0, 0, 110))
    draw.polygon(scaled(chamfered(box, 12)), fill=(96, 104, 112, 255))
    draw.polygon(scaled(chamfered((box[0] + 1, box[1] + 1, box[2] - 1, box[3] - 1), 11)), fill=(8, 10, 12, 255))
    draw.polygon(scaled(chamfered((box[0] + 3, box[1] + 3, box[2] - 3, box[3] - 3), 10)), fill=(18, 22, 27, 242))
    title_font = font("DejaVuSans-Bold.ttf", 12)
    draw.rectangle([fine(PLATE_LEFT), fine(166), fine(PLATE_LEFT + 6) - 1, fine(178) - 1], fill=accent + (255,))
    draw.text((fine(PLATE_LEFT + 13), fine(172)), title, font=title_font, anchor="lm", fill=(212, 220, 226, 255))
    draw.line(scaled([(PLATE_LEFT, 188), (PLATE_RIGHT - 1, 188)]), fill=(60, 68, 76, 255), width=SUPERSAMPLE)
    draw.line(scaled([(PLATE_LEFT, 188), (PLATE_LEFT + 70, 188)]), fill=accent + (255,), width=SUPERSAMPLE)
    for index in range(plate_count):
        draw_plate(layer, plate_box(index), lit=False)
    image = flatten(image, layer)
    return flatten(image, window_buttons(lit=None))


def draw_plate(layer, box, lit):
    draw = ImageDraw.Draw(layer)
    left, top, right, bottom = box
    if lit:
        for k, alpha in enumerate((40, 90, 150)):
            grow = GLOW_MARGIN - k
            draw.polygon(scaled(chamfered((left - grow, top - grow, right + grow, bottom + grow), 4 + grow)),
                         fill=LIT_CYAN + (alpha,))
    draw.polygon(scaled(chamfered(box, 4)), fill=(LIT_CYAN if lit else (4, 6, 8)) + (255,))
    inner = (left + 1, top + 1, right - 1, bottom - 1)
    fill = Image.new("RGBA", (fine(inner[2] - inner[0]), fine(inner[3] - inner[1])))
    vertical_gradient(ImageDraw.Draw(fill), (0, 0, fill.width, fill.height),
                      (22, 74, 100) if lit else (44, 52, 60), (8, 30, 44) if lit else (16, 20, 25))
    mask = Image.new("L", fill.size, 0)
    ImageDraw.Draw(mask).polygon(chamfered((0, 0, fill.width - 1, fill.height - 1), fine(3)), fill=255)
    layer.paste(fill, (fine(inner[0]), fine(inner[1])), mask)
    draw.line(scaled([(left + 4, top + 1.5), (right - 4, top + 1.5)]),
              fill=((150, 225, 250) if lit else (92, 102, 112)) + (255,), width=SUPERSAMPLE)
    mark = LIT_CYAN if lit else (70, 80, 90)
    middle = (top + bottom) / 2
    for x, direction in ((left + 5, 1), (right - 5, -1)):
        draw.polygon(scaled([(x, middle - 4), (x + 4 * direction, middle), (x, middle + 4)]), fill=mark + (255,))


def window_buttons(lit):
    """The title bar's buttons; lit is None, "minimize" or "close"."""
    layer = new_layer()
    draw = ImageDraw.Draw(layer)
    if lit is None:
        draw.polygon(scaled(chamfered((598, 7, 645, 32), 4)), fill=(8, 10, 12, 255))
        draw.polygon(scaled(chamfered((599, 8, 644, 31), 3)), fill=(22, 26, 30, 255))
    for name, box in (("minimize", MINIMIZE_BOX), ("close", CLOSE_BOX)):
        is_lit = name == lit
        if lit is not None and not is_lit:
            continue
        left, top, right, bottom = box
        if is_lit:
            for k, alpha in enumerate((50, 110)):
                grow = 2 - k
                draw.rectangle([fine(left - grow), fine(top - grow), fine(right + grow) - 1, fine(bottom + grow) - 1],
                               fill=LIT_CYAN + (alpha,))
        draw.rectangle([fine(left), fine(top), fine(right) - 1, fine(bottom) - 1], fill=(LIT_CYAN if is_lit else (6, 8, 10)) + (255,))
        face = Image.new("RGBA", (fine(right - left - 2), fine(bottom - top - 2)))
        vertical_gradient(ImageDraw.Draw(face), (0, 0, face.width, face.height),
                          (30, 90, 120) if is_lit else (76, 84, 92), (10, 40, 56) if is_lit else (30, 34, 38))
        layer.paste(face, (fine(left + 1), fine(top + 1)))
        glyph = (235, 250, 255, 255) if is_lit else (196, 204, 212, 255)
        cx, cy = (left + right) / 2, (top + bottom) / 2
        if name == "minimize":
            draw.rectangle([fine(cx - 4.5), fine(cy + 2.5), fine(cx + 4.5), fine(cy + 4.5)], fill=glyph)
        else:
            for dx in (-1, 1):
                draw.line([(fine(cx - 4 * dx), fine(cy - 4)), (fine(cx + 4 * dx), fine(cy + 4))], fill=glyph, width=2 * SUPERSAMPLE)
    return layer


# 5. Assembly and output.

def background(page, edition, base_terrain):
    _, _, items, titles = page
    _, accent, language, label, mark = edition
    image = frame(base_terrain.copy(), accent)
    image = emblem(image)
    image = edition_banner(image, accent, label, mark)
    return panel(image, titles[language], len(items), accent)


def lit_overlay(plain_background, lit_layer, region):
    """The lit pixels of one region over the page's background, transparent elsewhere."""
    lit = flatten(plain_background, lit_layer)
    changed = ImageChops.difference(lit, plain_background).convert("L").point(lambda v: 255 if v > 3 else 0)
    mask = Image.new("L", (WIDTH, HEIGHT), 0)
    mask.paste(changed.crop(region), region[:2])
    overlay = Image.new("RGBA", (WIDTH, HEIGHT), (0, 0, 0, 0))
    overlay.paste(lit, (0, 0), mask)
    return overlay


def overlays(page, plain_background):
    _, _, items, _ = page
    for index, item in enumerate(items):
        layer = new_layer()
        draw_plate(layer, plate_box(index), lit=True)
        left, top, right, bottom = plate_box(index)
        region = (left - GLOW_MARGIN, top - GLOW_MARGIN, right + GLOW_MARGIN, bottom + GLOW_MARGIN)
        yield item, lit_overlay(plain_background, layer, region)
    for item, box in (("MINIMIZE", MINIMIZE_BOX), ("CLOSE", CLOSE_BOX)):
        region = (box[0] - 2, box[1] - 2, box[2] + 2, box[3] + 2)
        yield item, lit_overlay(plain_background, window_buttons(item.lower()), region)


def save_opaque(image, path, key_colours):
    """Median cut finds the shading; small features such as the banner's flag keep exact colours."""
    key_colours = sorted(set(key_colours))
    shading = image.quantize(colors=256 - len(key_colours), method=Image.Quantize.MEDIANCUT,
                             dither=Image.Dither.NONE)
    palette = shading.getpalette()[:3 * (256 - len(key_colours))]
    for colour in key_colours:
        palette.extend(colour)
    palette_image = Image.new("P", (1, 1))
    palette_image.putpalette(palette)
    image.quantize(palette=palette_image, dither=Image.Dither.FLOYDSTEINBERG).save(path, interlace=False)


def key_colours(edition):
    _, accent, _, _, mark = edition
    colours = [accent, mix(accent, (0, 0, 0), 0.55), (236, 238, 240), (196, 204, 212), (212, 220, 226),
               EYE_WHITE, (120, 230, 240)] + [mix(IRIS_EDGE, LIT_CYAN, k / 4) for k in range(5)]
    if isinstance(mark, tuple):
        colours += [colour for colour, _ in mark[1]]
    return colours


TRANSPARENT_INDEX = 255


def save_transparent(image, path):
    """A palette GIF whose index 255 is transparent; the other 255 colours cover the opaque pixels."""
    opaque = image.getchannel("A").point(lambda v: 255 if v >= 128 else 0)
    result = Image.new("P", (WIDTH, HEIGHT), TRANSPARENT_INDEX)
    palette = [0, 0, 0] * 256
    box = opaque.getbbox()
    if box:
        crop = image.crop(box).convert("RGB").quantize(colors=255, method=Image.Quantize.MEDIANCUT,
                                                       dither=Image.Dither.NONE)
        used = crop.getpalette()[:255 * 3]
        palette[:len(used)] = used
        result.paste(crop, box[:2], opaque.crop(box))
    result.putpalette(palette)
    result.save(path, transparency=TRANSPARENT_INDEX, interlace=False)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pages")
    os.makedirs(out, exist_ok=True)
    base_terrain = terrain()
    save_transparent(Image.new("RGBA", (WIDTH, HEIGHT), (0, 0, 0, 0)), os.path.join(out, "BLANK.GIF"))
    for page in PAGES:
        stem, prefix = page[0], page[1]
        plain = None
        for edition in EDITIONS:
            image = background(page, edition, base_terrain)
            plain = plain or image
            save_opaque(image, os.path.join(out, f"{stem}_UP{edition[0]}.GIF"), key_colours(edition))
        for item, overlay in overlays(page, plain):
            save_transparent(overlay, os.path.join(out, f"{prefix}{item}HI.GIF"))


if __name__ == "__main__":
    main()
