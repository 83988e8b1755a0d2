#!/usr/bin/env python3
"""Draws Quillet's pictures and writes them into res/ as .bmp and .ico files.

The pictures are ours, drawn here from simple shapes so that they can be changed and redrawn
by anyone: run `python3 res/make_art.py` and commit the files it writes. The build only uses
the files; it does not run this script.

Bitmaps for buttons are 16 x 16, 24-bit, on the key colour magenta, which the program treats
as transparent (the popup takes the bottom-left pixel's colour as transparent: that pixel is
always left on the key colour). Icons carry an alpha channel.

Every bitmap comes in four sizes, for screens scaled to 100, 125, 150 and 200 %: the shapes
are given in 100 % pixels and drawn anew at each size, never stretched. The script also
writes pictures.rc, the resource script's list of them (ids as res/resource.h counts them).
"""
import os
import struct

KEY = (255, 0, 255)
SS = 4  # supersampling per axis for coverage

NOTE = (255, 228, 92)
NOTE_DARK = (214, 170, 20)
NOTE_FOLD = (240, 200, 60)
INK = (120, 120, 120)
RED = (208, 40, 40)
GREEN = (40, 150, 50)
BLUE = (40, 90, 190)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
DARK = (40, 40, 40)
GOLD = (226, 170, 30)
BROWN = (150, 95, 45)


# The scales a picture is drawn at: the file name's suffix and pixels per 100 % pixel.
SCALES = [("", 1.0), ("_125", 1.25), ("_150", 1.5), ("_200", 2.0)]


class Picture:
    """An RGBA raster with shapes given in 100 % pixel coordinates (floats allowed), drawn
    `unit` pixels to the 100 % pixel."""

    def __init__(self, size, unit=1.0):
        self.size = size
        self.unit = unit
        self.pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def _cover(self, inside):
        u = self.unit
        for y in range(self.size):
            for x in range(self.size):
                hits = sum(
                    inside((x + (i + 0.5) / SS) / u, (y + (j + 0.5) / SS) / u)
                    for i in range(SS) for j in range(SS))
                if hits:
                    yield x, y, hits / (SS * SS)

    def fill(self, inside, colour):
        for x, y, a in self._cover(inside):
            r, g, b, old = self.pixels[y][x]
            na = a + old / 255 * (1 - a)
            mix = lambda c, d: round((c * a + d * old / 255 * (1 - a)) / na)
            self.pixels[y][x] = (mix(colour[0], r), mix(colour[1], g), mix(colour[2], b),
                                 round(na * 255))

    def rect(self, x0, y0, x1, y1, colour):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)

    def poly(self, points, colour):
        def inside(x, y):
            odd = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    odd = not odd
            return odd
        self.fill(inside, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = (dx * dx + dy * dy) ** 0.5
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                   (x0 - nx, y0 - ny)], colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        self.fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1, colour)

    def dots(self, x0, y0, rows, colour):
        """Whole pixels, one "X" a pixel, for shapes too small to draw from outlines."""
        for j, row in enumerate(rows):
            for i, c in enumerate(row):
                if c == "X":
                    self.rect(x0 + i, y0 + j, x0 + i + 1, y0 + j + 1, colour)


def note(p, s):
    """The yellow note of the program's icon, scaled to fill a picture of size s."""
    u = s / 16
    fold = 5 * u
    body = [(1 * u, 1 * u), (15 * u, 1 * u), (15 * u, 15 * u - fold),
            (15 * u - fold, 15 * u), (1 * u, 15 * u)]
    p.poly(body, NOTE_DARK)
    inner = [(x + (u if x < 8 * u else -u), y + (u if y < 8 * u else -u)) for x, y in body]
    p.poly(inner, NOTE)
    p.poly([(15 * u - fold, 15 * u), (15 * u, 15 * u - fold), (15 * u - fold, 15 * u - fold)],
           NOTE_FOLD)
    for row in (4, 7, 10):
        right = 12 if row < 10 else 9
        p.rect(3.5 * u, row * u, right * u, row * u + max(1, u), INK)


def small_note(p):
    """A note in the top-left 12 x 12, leaving room for a sign at the bottom right."""
    p.rect(1, 1, 12, 13, NOTE_DARK)
    p.rect(2, 2, 11, 12, NOTE)
    for row in (4, 6, 8):
        p.rect(3, row, 10, row + 1, INK)


def draw_add(p):
    small_note(p)
    p.rect(8, 11, 16, 14, GREEN)
    p.rect(10.5, 8.5, 13.5, 16, GREEN)


def draw_delete_note(p):
    small_note(p)
    p.line(9, 9, 15, 15, 2.2, RED)
    p.line(15, 9, 9, 15, 2.2, RED)


def draw_edit(p):
    small_note(p)
    p.line(15, 4, 7, 12, 3, GOLD)
    p.line(15, 4, 13.5, 5.5, 3, RED)
    p.poly([(5.5, 14.5), (6.2, 11.4), (8.6, 13.8)], DARK)


def draw_alarm(p):
    p.ellipse(8, 7.5, 5, 5.5, GOLD)
    p.rect(3, 7.5, 13, 12, GOLD)
    p.poly([(1.5, 12.5), (14.5, 12.5), (13, 11), (3, 11)], GOLD)
    p.ellipse(8, 14, 1.6, 1.6, DARK)
    p.ellipse(8, 2, 1.2, 1.2, DARK)


def draw_about(p):
    p.ellipse(8, 8, 7.5, 7.5, BLUE)
    p.ellipse(8, 4.5, 1.3, 1.3, WHITE)
    p.rect(7, 7, 9, 12.5, WHITE)


def draw_help(p):
    p.ellipse(8, 8, 7.5, 7.5, BLUE)
    p.dots(5, 3, [
        ".XXXX.",
        "XX..XX",
        "....XX",
        "...XX.",
        "..XX..",
        "..XX..",
        "......",
        "..XX..",
        "..XX..",
    ], WHITE)


def draw_exit(p):
    p.rect(2, 1, 11, 15, BROWN)
    p.rect(3, 2, 10, 15, (190, 130, 70))
    p.ellipse(8.3, 8.5, 0.9, 0.9, DARK)
    p.poly([(9, 7), (12, 7), (12, 4.5), (15.5, 8.5), (12, 12.5), (12, 10), (9, 10)], GREEN)


def draw_close(p):
    p.line(4, 4, 12, 12, 2, DARK)
    p.line(12, 4, 4, 12, 2, DARK)


def draw_prev(p):
    p.poly([(10.5, 3), (10.5, 13), (4.5, 8)], DARK)


def draw_next(p):
    p.poly([(5.5, 3), (5.5, 13), (11.5, 8)], DARK)


def draw_delete_message(p):
    p.rect(4, 5, 12, 14, (110, 110, 120))
    p.rect(5, 6, 11, 13, (200, 200, 210))
    for x in (6.5, 8.5):
        p.rect(x, 7, x + 1, 12, (110, 110, 120))
    p.rect(3, 3, 13, 4.6, (110, 110, 120))
    p.rect(6.5, 1.8, 9.5, 3, (110, 110, 120))


def draw_snooze(p):
    # An alarm clock: two bells over a round face with its hands.
    p.ellipse(3.8, 3.2, 2, 2, DARK)
    p.ellipse(12.2, 3.2, 2, 2, DARK)
    p.ellipse(8, 9, 6.2, 6.2, DARK)
    p.ellipse(8, 9, 4.9, 4.9, WHITE)
    p.rect(7.4, 5, 8.6, 9.6, DARK)
    p.line(8, 9, 10.6, 10.6, 1.2, DARK)


def bmp_bytes(p, background=KEY):
    """24-bit bitmap; pixels mostly covered take their colour, the rest the key colour.
    With a background other than the key colour, coverage is blended into it."""
    rows = []
    for y in reversed(range(p.size)):
        row = bytearray()
        for x in range(p.size):
            r, g, b, a = p.pixels[y][x]
            if background == KEY:
                colour = (r, g, b) if a >= 128 else KEY
            else:
                colour = tuple(round((c * a + bg * (255 - a)) / 255)
                               for c, bg in zip((r, g, b), background))
            row += bytes((colour[2], colour[1], colour[0]))
        row += b"\0" * (-len(row) % 4)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, p.size, p.size, 1, 24, 0, len(data), 2835, 2835,
                         0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(data), 0, 0,
                       14 + len(header)) + header + data


def icon_image(p):
    """32-bit BGRA image with its AND mask, as stored in an .ico file."""
    s = p.size
    xor = b"".join(bytes((b, g, r, a)) for y in reversed(range(s)) for r, g, b, a in p.pixels[y])
    mask_row = (s + 31) // 32 * 4
    mask = bytearray()
    for y in reversed(range(s)):
        bits = bytearray(mask_row)
        for x in range(s):
            if p.pixels[y][x][3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, s, 2 * s, 1, 32, 0, len(xor) + len(mask), 0, 0,
                         0, 0)
    return header + xor + bytes(mask)


def ico_bytes(pictures):
    images = [icon_image(p) for p in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for p, image in zip(pictures, images):
        out += struct.pack("<BBBBHHII", p.size % 256, p.size % 256, 0, 0, 1, 32, len(image),
                           offset)
        offset += len(image)
    return out + b"".join(images)


def picture(size, draw, unit=1.0):
    p = Picture(round(size * unit), unit)
    draw(p)
    return p


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    glyphs = {
        "add": (draw_add, "IDB_ADD"), "delete_note": (draw_delete_note, "IDB_DELETE_NOTE"),
        "edit": (draw_edit, "IDB_EDIT"), "alarm": (draw_alarm, "IDB_ALARM"),
        "about": (draw_about, "IDB_ABOUT"), "help": (draw_help, "IDB_HELP"),
        "exit": (draw_exit, "IDB_EXIT"), "close": (draw_close, "IDB_CLOSE"),
        "prev": (draw_prev, "IDB_PREV"), "next": (draw_next, "IDB_NEXT"),
        "delete": (draw_delete_message, "IDB_DELETE"), "snooze": (draw_snooze, "IDB_SNOOZE"),
    }
    # name, drawing, size at 100 %, resource id
    bitmaps = [(f"glyph_{name}", draw, 16, ids) for name, (draw, ids) in glyphs.items()]
    bitmaps.append(("logo", lambda p: note(p, 48), 48, "IDB_LOGO"))
    listing = ["// Written by make_art.py: every picture at 100, 125, 150 and 200 %.\n"]
    for name, draw, size, ids in bitmaps:
        for k, (suffix, unit) in enumerate(SCALES):
            with open(os.path.join(here, f"{name}{suffix}.bmp"), "wb") as f:
                f.write(bmp_bytes(picture(size, draw, unit)))
            listing.append(f'({ids} + {k} * PICTURE_SCALE_STEP) BITMAP "{name}{suffix}.bmp"\n')
    with open(os.path.join(here, "pictures.rc"), "w") as f:
        f.writelines(listing)
    # The tray takes 16, 20, 24 or 32 pixels by the scale; windows and the shell the larger.
    with open(os.path.join(here, "quillet.ico"), "wb") as f:
        f.write(ico_bytes([picture(s, lambda p, s=s: note(p, s))
                           for s in (16, 20, 24, 32, 40, 48, 64)]))

if __name__ == "__main__":
    main()
