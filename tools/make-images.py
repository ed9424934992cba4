#!/usr/bin/env python3
"""Draws the console's icons and bitmaps and writes them to res/images as .ico and .bmp files.

Standard library only. Each picture is drawn on a 16 x 16 grid of "units" with a few shapes
(rectangles, discs, rings, lines, small pixel patterns); icons are drawn once per size, so the
32 x 32 image is drawn at twice the resolution rather than scaled. The build uses the files this
script writes (they are checked in); run it again after changing a picture:

    python3 tools/make-images.py
"""

import math
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "images")

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
LIGHT = (224, 224, 224)
RED = (255, 0, 0)
DARK_RED = (160, 0, 0)
AMBER = (255, 200, 0)
GREEN = (0, 150, 0)
DARK_GREEN = (0, 90, 0)
LIME = (0, 220, 0)
BLUE = (0, 64, 200)
NAVY = (0, 0, 128)
SKY = (150, 200, 255)
SKIN = (255, 204, 153)
YELLOW = (255, 224, 96)
OCHRE = (200, 150, 0)
BROWN = (120, 72, 24)
TEAL = (0, 128, 128)
PURPLE = (128, 0, 160)
ORANGE = (255, 128, 0)

# 3 x 5 digits and signs, '#' = ink.
GLYPHS = {
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["###", "..#", "###", "#..", "###"],
    "3": ["###", "..#", ".##", "..#", "###"],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "5": ["###", "#..", "###", "..#", "###"],
}


class Canvas:
    """A picture of width x height units, each unit scale x scale pixels; None is transparent."""

    def __init__(self, width, height, scale=1):
        self.scale = scale
        self.width = width * scale
        self.height = height * scale
        self.pixels = [[None] * self.width for _ in range(self.height)]

    def _points(self):
        for py in range(self.height):
            for px in range(self.width):
                yield px, py, (px + 0.5) / self.scale, (py + 0.5) / self.scale

    def rect(self, x0, y0, x1, y1, colour):
        """Fills units x0..x1, y0..y1 (inclusive)."""
        s = self.scale
        for py in range(max(0, int(y0 * s)), min(self.height, int((y1 + 1) * s))):
            for px in range(max(0, int(x0 * s)), min(self.width, int((x1 + 1) * s))):
                self.pixels[py][px] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.rect(x0, y0, x1, y0, colour)
        self.rect(x0, y1, x1, y1, colour)
        self.rect(x0, y0, x0, y1, colour)
        self.rect(x1, y0, x1, y1, colour)

    def box(self, x0, y0, x1, y1, fill, outline=BLACK):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, outline)

    def disc(self, cx, cy, r, colour, start=None, end=None):
        """Fills a disc (centre and radius in units), or the sector from angle start to end
        (degrees, counter-clockwise from 3 o'clock)."""
        for px, py, ux, uy in self._points():
            dx, dy = ux - cx, uy - cy
            if dx * dx + dy * dy > r * r:
                continue
            if start is not None:
                angle = math.degrees(math.atan2(-dy, dx)) % 360
                if not (start <= angle <= end):
                    continue
            self.pixels[py][px] = colour

    def ring(self, cx, cy, r, colour, width=1.0):
        for px, py, ux, uy in self._points():
            d2 = (ux - cx) ** 2 + (uy - cy) ** 2
            if (r - width) ** 2 < d2 <= r * r:
                self.pixels[py][px] = colour

    def line(self, x0, y0, x1, y1, colour, width=1):
        """A line between unit centres, width units thick."""
        steps = int(max(abs(x1 - x0), abs(y1 - y0)) * self.scale * 2) + 1
        s = self.scale
        half = width * s / 2.0
        for i in range(steps + 1):
            t = i / steps
            ux = x0 + 0.5 + (x1 - x0) * t
            uy = y0 + 0.5 + (y1 - y0) * t
            for py in range(int(uy * s - half), int(uy * s - half + width * s)):
                for px in range(int(ux * s - half), int(ux * s - half + width * s)):
                    if 0 <= px < self.width and 0 <= py < self.height:
                        self.pixels[py][px] = colour

    def pattern(self, x, y, rows, colours):
        """Draws a pixel pattern with its top-left unit at x, y. colours maps pattern characters
        to colours; a single colour stands for {'#': colour}. Other characters are left alone."""
        if not isinstance(colours, dict):
            colours = {"#": colours}
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in colours:
                    self.rect(x + dx, y + dy, x + dx, y + dy, colours[ch])

    def glyph(self, x, y, char, colour):
        self.pattern(x, y, GLYPHS[char], colour)

    def polygon(self, points, colour):
        """Fills a polygon given in unit coordinates (even-odd rule at pixel centres)."""
        for px, py, ux, uy in self._points():
            inside = False
            n = len(points)
            for i in range(n):
                (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
                if (ay > uy) != (by > uy):
                    cross = ax + (uy - ay) * (bx - ax) / (by - ay)
                    if ux < cross:
                        inside = not inside
            if inside:
                self.pixels[py][px] = colour

    def map_colours(self, function):
        for row in self.pixels:
            for i, colour in enumerate(row):
                if colour is not None:
                    row[i] = function(colour)

    def paste(self, other, x):
        """Copies another canvas of the same height and scale with its left edge at unit x."""
        for py in range(other.height):
            for px in range(other.width):
                self.pixels[py][x * self.scale + px] = other.pixels[py][px]


# ---- Pictures. Each draws on a 16 x 16 canvas (toolbar buttons: 16 x 15). ----


def red_cross(c):
    """A red diagonal cross in the lower right corner: 'not enforced' or 'not connected'."""
    c.line(8, 8, 15, 15, WHITE, 3)
    c.line(15, 8, 8, 15, WHITE, 3)
    c.line(9, 9, 14, 14, RED, 2)
    c.line(14, 9, 9, 14, RED, 2)


def crossed(draw):
    def draw_crossed(c):
        draw(c)
        red_cross(c)

    return draw_crossed


def faded(rgb):
    """A colour turned into a light grey of similar brightness."""
    brightness = 0.3 * rgb[0] + 0.59 * rgb[1] + 0.11 * rgb[2]
    level = int(120 + brightness * 0.45)
    return (level, level, level)


def greyed(draw):
    def draw_greyed(c):
        draw(c)
        c.map_colours(faded)

    return draw_greyed


def app(c):
    # Quota gauge: a bar filled green, then amber, then red, above a disk drive.
    c.box(0, 1, 15, 6, WHITE)
    c.rect(1, 2, 7, 5, GREEN)
    c.rect(8, 2, 10, 5, AMBER)
    c.rect(11, 2, 11, 5, RED)
    c.rect(12, 2, 12, 5, BLACK)
    c.box(1, 9, 14, 14, SILVER)
    c.rect(2, 10, 13, 10, WHITE)
    c.rect(2, 13, 13, 13, GREY)
    c.rect(11, 11, 12, 12, LIME)
    c.rect(3, 11, 8, 11, GREY)
    c.rect(7, 7, 8, 8, GREY)


def app_disconnected(c):
    greyed(app)(c)
    red_cross(c)


def flag(colour, digit=None, ink=WHITE):
    def draw(c):
        c.rect(2, 1, 3, 15, BROWN)
        c.rect(1, 14, 5, 15, BLACK)
        c.box(4, 1, 14, 9, colour)
        c.rect(4, 1, 4, 9, colour)
        if digit:
            c.glyph(8, 3, digit, ink)

    return draw


def clock_and_magnifier(c):
    c.disc(6, 6, 6, BLACK)
    c.disc(6, 6, 5, WHITE)
    c.rect(5.5, 2, 5.5, 5.5, BLACK)
    c.line(6, 6, 8.5, 6, BLACK)
    c.rect(5.5, 1, 5.5, 1, NAVY)
    c.disc(11, 11, 4, BLACK)
    c.disc(11, 11, 3, SKY)
    c.rect(10, 9, 10, 9, WHITE)
    c.line(13.5, 13.5, 15, 15, BROWN, 2)


def rename_marker(c):
    # A pencil writing on a line.
    c.polygon([(3, 10), (11, 2), (14, 5), (6, 13)], YELLOW)
    c.line(3.5, 10.5, 11, 3, OCHRE)
    c.polygon([(11, 2), (12, 1), (15, 4), (14, 5)], (255, 140, 140))
    c.polygon([(3, 10), (6, 13), (1, 15)], SKIN)
    c.rect(1, 14, 2, 15, BLACK)
    c.line(6, 15, 15, 15, BLUE)


def disk_with_pie(c):
    c.box(0, 10, 15, 15, SILVER)
    c.rect(12, 12, 13, 13, LIME)
    c.disc(8, 5.5, 5.5, BLACK)
    c.disc(8, 5.5, 4.5, BLUE)
    c.disc(8, 5.5, 4.5, AMBER, 0, 110)


SMALL_PERSON = [
    ".kkk.",
    "ksssk",
    "ksssk",
    ".kkk.",
    "kkkkk",
    "kccck",
    "kccck",
    "kccck",
    "kkkkk",
]


def person(c, x, y, shirt):
    c.pattern(x, y, SMALL_PERSON, {"k": BLACK, "s": SKIN, "c": shirt})


def one_person(c):
    c.disc(8, 4, 3.2, SKIN)
    c.ring(8, 4, 3.6, BLACK, 0.8)
    c.polygon([(2.5, 15.5), (3.5, 9), (12.5, 9), (13.5, 15.5)], BLUE)
    c.frame(3, 9, 12, 15, BLACK)


def group(c):
    person(c, 9, 1, TEAL)
    person(c, 5, 4, GREEN)
    person(c, 1, 6, RED)


def global_group(c):
    c.disc(11.5, 4, 4, BLUE)
    c.disc(10.5, 3, 1.6, LIME)
    c.disc(13, 5.5, 1.2, LIME)
    c.ring(11.5, 4, 4, NAVY, 0.7)
    person(c, 6, 3, ORANGE)
    person(c, 1, 6, PURPLE)


def globe(c):
    c.disc(8, 8, 7.5, NAVY)
    c.disc(8, 8, 6.5, BLUE)
    c.disc(6, 6, 2.5, LIME)
    c.disc(11, 10, 2, LIME)
    c.disc(5, 11, 1.3, LIME)
    c.ring(8, 8, 7.5, BLACK, 0.7)


def monitor(c, x, y):
    c.box(x, y, x + 7, y + 5, SKY)
    c.rect(x + 3, y + 6, x + 4, y + 6, GREY)
    c.rect(x + 1, y + 7, x + 6, y + 7, BLACK)


def domain(c):
    monitor(c, 7, 1)
    monitor(c, 1, 7)
    c.line(4, 6, 10, 6, GREY)


def server(c):
    c.box(4, 0, 12, 15, SILVER)
    c.rect(5, 1, 11, 1, WHITE)
    for y in (3, 6):
        c.box(5, y, 11, y + 1, GREY)
    c.rect(6, 11, 7, 12, LIME)
    c.rect(9, 11, 10, 11, BLACK)
    c.rect(9, 13, 10, 13, BLACK)


def folder(c):
    c.polygon([(1, 3), (6, 3), (7, 5), (15, 5), (15, 14), (1, 14)], YELLOW)
    c.frame(1, 5, 14, 13, OCHRE)
    c.line(1, 3, 5, 3, OCHRE)
    c.line(1, 3, 1, 5, OCHRE)
    c.line(5, 3, 6, 5, OCHRE)


def open_folder(c):
    c.polygon([(1, 3), (6, 3), (7, 5), (13, 5), (13, 14), (1, 14)], OCHRE)
    c.box(3, 6, 12, 12, WHITE, GREY)
    c.polygon([(1, 14), (4, 8), (16, 8), (13, 14)], YELLOW)
    c.line(1, 13, 4, 8, OCHRE)
    c.line(4, 8, 15, 8, OCHRE)


def drive_at(c, top):
    """A disk drive seen slightly from above, its front face starting at unit row top."""
    c.polygon([(1, top), (3, top - 3), (15, top - 3), (15, top)], LIGHT)
    c.line(2, top - 1.5, 3, top - 3, BLACK)
    c.line(3, top - 3, 14, top - 3, BLACK)
    c.box(1, top, 14, top + 4, SILVER)
    c.rect(2, top + 3, 13, top + 3, GREY)
    c.rect(11, top + 1, 12, top + 1, LIME)


def drive(c):
    drive_at(c, 8)


def network_drive(c):
    drive_at(c, 4)
    c.rect(7, 9, 8, 12, BLACK)
    c.rect(1, 13, 14, 13, BLACK)
    c.box(5, 12, 10, 15, GREEN)


def template_page(c):
    c.polygon([(2, 0), (11, 0), (14, 3), (14, 15), (2, 15)], WHITE)
    c.line(2, 0, 10, 0, BLACK)
    c.line(2, 0, 2, 15, BLACK)
    c.line(2, 15, 14, 15, BLACK)
    c.line(14, 3, 14, 15, BLACK)
    c.line(10, 0, 14, 4, BLACK)
    c.rect(10, 1, 10, 3, BLACK)
    c.rect(10, 3, 13, 3, BLACK)
    c.rect(4, 2, 8, 3, BLUE)
    for y in (6, 8, 10):
        c.rect(4, y, 12, y, GREY)
    c.rect(4, 12, 7, 13, GREEN)
    c.rect(8, 12, 10, 13, AMBER)
    c.rect(11, 12, 12, 13, RED)


def report_set(c):
    c.box(4, 0, 15, 11, WHITE)
    c.box(2, 2, 13, 13, WHITE)
    c.box(0, 4, 11, 15, WHITE)
    c.rect(2, 10, 3, 13, BLUE)
    c.rect(5, 7, 6, 13, RED)
    c.rect(8, 9, 9, 13, GREEN)
    c.rect(1, 14, 10, 14, BLACK)


def arrow(direction):
    def draw(c):
        if direction > 0:
            shape = [(2, 6), (8, 6), (8, 2), (14.5, 8), (8, 14), (8, 10), (2, 10)]
        else:
            shape = [(14, 6), (8, 6), (8, 2), (1.5, 8), (8, 14), (8, 10), (14, 10)]
        c.polygon(shape, BLACK)
        c.polygon(shrink(shape, 8, 8), BLUE)

    return draw


def shrink(points, cx, cy, factor=0.72):
    return [(cx + (x - cx) * factor, cy + (y - cy) * factor) for x, y in points]


# Pictures of the server property sheet's pages, 48 x 48 units.


def gear(c, cx, cy, r, colour):
    for i in range(8):
        a = i * math.pi / 4
        c.line(cx + (r - 1) * math.cos(a), cy + (r - 1) * math.sin(a),
               cx + (r + 1.5) * math.cos(a), cy + (r + 1.5) * math.sin(a), colour, 2)
    c.disc(cx, cy, r, colour)
    c.disc(cx, cy, r * 0.4, WHITE)


def service_small(c):
    gear(c, 8, 8, 4.5, TEAL)


def product_picture(c):
    # A server tower beside the quota gauge of the console's icon.
    c.box(4, 6, 20, 44, SILVER)
    c.rect(6, 8, 18, 9, WHITE)
    for y in (13, 19, 25):
        c.box(7, y, 17, y + 3, GREY)
    c.rect(8, 38, 10, 40, LIME)
    c.box(24, 18, 44, 30, WHITE)
    c.rect(25, 19, 33, 29, GREEN)
    c.rect(34, 19, 38, 29, AMBER)
    c.rect(39, 19, 40, 29, RED)
    c.line(21, 24, 24, 24, BLACK)


def monitor_product_picture(c):
    # The same server watched through a magnifying glass: the monitoring product.
    c.box(4, 6, 20, 44, SILVER)
    c.rect(6, 8, 18, 9, WHITE)
    for y in (13, 19, 25):
        c.box(7, y, 17, y + 3, GREY)
    c.rect(8, 38, 10, 40, LIME)
    c.ring(33, 20, 9, BLACK, 2)
    c.disc(33, 20, 7.5, SKY)
    c.line(39, 27, 45, 34, BROWN, 4)


def services_picture(c):
    c.box(2, 4, 18, 44, SILVER)
    c.rect(4, 6, 16, 7, WHITE)
    for y in (11, 17):
        c.box(5, y, 15, y + 3, GREY)
    c.rect(6, 38, 8, 40, LIME)
    gear(c, 32, 18, 8, TEAL)
    gear(c, 38, 36, 6, NAVY)


# Toolbar buttons, 16 x 15 each.


def pause_button(c):
    c.box(4, 2, 6, 12, NAVY)
    c.box(9, 2, 11, 12, NAVY)


def release_button(c):
    triangle = [(4, 1), (13, 7.5), (4, 14)]
    c.polygon(triangle, DARK_GREEN)
    c.polygon(shrink(triangle, 7, 7.5, 0.75), LIME)


def magnifier(sign):
    def draw(c):
        c.disc(6.5, 6.5, 5.5, BLACK)
        c.disc(6.5, 6.5, 4.5, WHITE)
        c.line(10.5, 10.5, 14, 14, BROWN, 2)
        c.rect(4, 6, 8, 6, BLACK)
        if sign == "+":
            c.rect(6, 4, 6, 8, BLACK)

    return draw


def columns_button(c):
    c.box(1, 2, 14, 12, WHITE)
    c.rect(2, 3, 13, 4, NAVY)
    c.rect(5, 3, 5, 11, BLACK)
    c.rect(9, 3, 9, 11, BLACK)
    c.rect(6, 5, 8, 11, YELLOW)
    c.rect(2, 7, 13, 7, SILVER)
    c.rect(2, 9, 13, 9, SILVER)


def printer_button(c):
    c.box(4, 1, 11, 6, WHITE)
    c.rect(5, 3, 10, 3, GREY)
    c.box(1, 6, 14, 11, SILVER)
    c.rect(2, 7, 13, 7, WHITE)
    c.rect(11, 8, 12, 8, LIME)
    c.box(3, 10, 12, 13, WHITE)
    c.rect(4, 12, 11, 12, GREY)


def about_button(c):
    c.pattern(4, 1, [
        "..####..",
        ".##..##.",
        ".##..##.",
        ".....##.",
        "....##..",
        "...##...",
        "...##...",
        "........",
        "...##...",
        "...##...",
    ], NAVY)


# ---- Bitmap buttons and the property pages' pictures ----


def browse_button(c):
    for x in (3, 7, 11):
        c.rect(x, 11, x + 1, 12, BLACK)


def mail_to_button(c):
    c.box(1, 4, 14, 12, WHITE)
    c.line(1, 4, 7.5, 9, BLACK)
    c.line(14, 4, 7.5, 9, BLACK)


def fill_capacity_button(c):
    # A drive with an arrow filling it to the brim.
    c.box(1, 9, 14, 14, SILVER)
    c.rect(2, 10, 13, 10, WHITE)
    c.rect(11, 12, 12, 13, LIME)
    c.polygon([(4, 5), (8, 1), (12, 5)], GREEN)
    c.rect(7, 5, 8, 8, GREEN)


def quota_picture(c):
    # The console's gauge above a drive, the way a quota caps it.
    c.box(1, 1, 14, 5, WHITE)
    c.rect(2, 2, 8, 4, GREEN)
    c.rect(9, 2, 11, 4, AMBER)
    c.rect(12, 2, 12, 4, RED)
    c.box(1, 8, 14, 14, SILVER)
    c.rect(2, 9, 13, 9, WHITE)
    c.rect(2, 13, 13, 13, GREY)
    c.rect(11, 11, 12, 11, LIME)
    c.rect(3, 11, 8, 11, GREY)
    c.rect(7, 6, 8, 7, GREY)


def threshold_picture(c):
    # A red threshold flag planted on a gauge.
    c.box(0, 10, 15, 14, WHITE)
    c.rect(1, 11, 8, 13, GREEN)
    c.rect(9, 11, 11, 13, AMBER)
    c.rect(8, 1, 8, 13, BROWN)
    c.box(9, 1, 15, 6, RED)
    c.glyph(11, 1, "1", WHITE)


TOOLBAR = [pause_button, release_button, magnifier("+"), magnifier("-"), columns_button,
           printer_button, about_button]

ICONS = {
    "app_connected": app,
    "app_disconnected": app_disconnected,
    "server": server,
    "template": template_page,
    "status_threshold1": flag(RED, "1", WHITE),
    "status_threshold2": flag(AMBER, "2", BLACK),
    "status_threshold3": flag(AMBER, "3", BLACK),
    "status_threshold4": flag(GREEN, "4", WHITE),
    "status_threshold5": flag(GREEN, "5", WHITE),
    "status_ok": flag(GREEN),
    "status_attr40000000": clock_and_magnifier,
    "status_attr100": clock_and_magnifier,
}

BITMAPS = {
    "owner_renamed": rename_marker,
    "owner_default": disk_with_pie,
    "owner_global_group": global_group,
    "owner_global_group_not_enforced": crossed(global_group),
    "owner_group": group,
    "owner_group_not_enforced": crossed(group),
    "owner_user": one_person,
    "owner_user_not_enforced": crossed(one_person),
    "domain_root": globe,
    "domain": domain,
    "folder_open": open_folder,
    "folder": folder,
    "fixed_drive": drive,
    "removable_drive": network_drive,
    "report_set": report_set,
    "add_column": arrow(+1),
    "remove_column": arrow(-1),
    "service_small": service_small,
    "browse": browse_button,
    "mail_to": mail_to_button,
    "fill_capacity": fill_capacity_button,
}

# Larger pictures: (drawing, size in units, background that is drawn transparent).
PICTURES = {
    "product": (product_picture, 48, SILVER),
    "monitor_product": (monitor_product_picture, 48, SILVER),
    "services": (services_picture, 48, WHITE),
}

# The quota sheet's page pictures: 32 x 32, on the colour those pages draw transparent.
PAGE_BG = (198, 198, 198)
PAGE_PICTURES = {
    "quota_picture": (quota_picture, PAGE_BG),
    "threshold_picture": (threshold_picture, PAGE_BG),
}


# ---- File formats ----


def bmp_bytes(canvas, background):
    """An 8-bit palettized Windows bitmap; transparent pixels take the background colour."""
    rows = [[p if p is not None else background for p in row] for row in canvas.pixels]
    palette = sorted({p for row in rows for p in row})
    assert len(palette) <= 256
    index = {colour: i for i, colour in enumerate(palette)}
    stride = (canvas.width + 3) & ~3
    pixels = b"".join(bytes(index[p] for p in row) + b"\0" * (stride - canvas.width)
                      for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 8, 0, len(pixels),
                       2835, 2835, len(palette), len(palette))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + len(info) + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + colours + pixels


def icon_image_bytes(canvas):
    """One icon image: 32-bit colour with alpha, and the AND mask (1 = transparent)."""
    colour = b"".join(bytes((p[2], p[1], p[0], 255)) if p else b"\0\0\0\0"
                      for row in reversed(canvas.pixels) for p in row)
    mask_stride = ((canvas.width + 31) // 32) * 4
    mask = b""
    for row in reversed(canvas.pixels):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height * 2, 1, 32, 0,
                       len(colour) + len(mask), 0, 0, 0, 0)
    return info + colour + mask


def ico_bytes(canvases):
    images = [icon_image_bytes(c) for c in canvases]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for canvas, image in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", canvas.width, canvas.height, 0, 0, 1, 32, len(image),
                               offset)
        offset += len(image)
    return header + entries + b"".join(images)


def drawn(draw, width=16, height=16, scale=1):
    canvas = Canvas(width, height, scale)
    draw(canvas)
    return canvas


def write(name, data):
    path = os.path.join(OUT, name)
    with open(path, "wb") as f:
        f.write(data)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, draw in ICONS.items():
        write(name + ".ico", ico_bytes([drawn(draw, scale=1), drawn(draw, scale=2)]))
    for name, draw in BITMAPS.items():
        write(name + ".bmp", bmp_bytes(drawn(draw), WHITE))
    for name, (draw, size, background) in PICTURES.items():
        write(name + ".bmp", bmp_bytes(drawn(draw, size, size), background))
    for name, (draw, background) in PAGE_PICTURES.items():
        write(name + ".bmp", bmp_bytes(drawn(draw, scale=2), background))
    strip = Canvas(16 * len(TOOLBAR), 15)
    for i, draw in enumerate(TOOLBAR):
        strip.paste(drawn(draw, 16, 15), 16 * i)
    write("toolbar.bmp", bmp_bytes(strip, SILVER))


if __name__ == "__main__":
    main()
