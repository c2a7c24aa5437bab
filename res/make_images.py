#!/usr/bin/env python3
"""Draws every image of Brackwater Digestor and writes them next to this script.

Standard library only: the BMP and PNG files are assembled by hand with struct and zlib.

    python3 res/make_images.py            # rewrite the images in res/
    python3 res/make_images.py --check    # exit 1 if a committed image differs from the drawing
    python3 res/make_images.py --out DIR  # write them under DIR instead

Outputs:
    status_images.bmp   bitmap 130, 48 x 16, 4 bpp: failed, ok, unreadable
    about_logo.bmp      bitmap 133, 300 x 58, 24 bpp: the About box banner
    app_icon_32.bmp     icon 128, 32 x 32, 4 bpp, magenta transparent
    app_icon_16.bmp     icon 128, 16 x 16, 4 bpp, magenta transparent
    size_grip.bmp       16 x 16, 4 bpp, background in the face colour 192, 192, 192
    icons/hicolor/NxN/apps/brackwater-digestor.png   the icon with alpha, N = 16 ... 256

The small pictures are pixel art written out below as character grids, one character a pixel;
the icon and the banner are drawn from signed distance functions, so each size is drawn afresh
instead of scaled.
"""

import argparse
import hashlib
import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------------------------
# The standard 16-colour palette, in the order the 4-bit images index it.

VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
MAGENTA = 13
FACE = 7

# Characters of the pixel-art grids and the palette entries they stand for.
GRID_KEY = {
    '.': MAGENTA, 'k': 0, 'm': 1, 'g': 2, 'o': 3, 'n': 4, 'p': 5, 't': 6, 's': FACE,
    'a': 8, 'r': 9, 'l': 10, 'y': 11, 'b': 12, 'c': 14, 'w': 15,
}


# ---------------------------------------------------------------------------------------------
# File writers.

def bmp_4bpp(width, height, indices):
    """indices: rows top to bottom of palette indices. Stored bottom-up, rows padded to 4 bytes."""
    row_bytes = ((width * 4 + 31) // 32) * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray(row_bytes)
        for x in range(width):
            value = indices[y][x]
            if x % 2 == 0:
                row[x // 2] |= value << 4
            else:
                row[x // 2] |= value
        data += row
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in VGA)
    return _bmp(width, height, 4, palette, bytes(data), colours_used=16)


def bmp_24bpp(width, height, rgb_rows):
    row_bytes = ((width * 24 + 31) // 32) * 4
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for (r, g, b) in rgb_rows[y]:
            row += bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        data += row
    return _bmp(width, height, 24, b'', bytes(data), colours_used=0)


def _bmp(width, height, bits, palette, pixels, colours_used):
    offset = 14 + 40 + len(palette)
    file_header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    # 2835 pixels per metre is 72 dpi.
    info_header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, len(pixels),
                              2835, 2835, colours_used, 0)
    return file_header + info_header + palette + pixels


def png_rgba(width, height, rgba_rows):
    raw = bytearray()
    for row in rgba_rows:
        raw.append(0)  # filter type None
        for pixel in row:
            raw += bytes(pixel)

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))

    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def grid_indices(grid, width, height):
    rows = grid.strip('\n').split('\n')
    if len(rows) != height or any(len(row) != width for row in rows):
        raise ValueError('pixel grid is not %d x %d' % (width, height))
    return [[GRID_KEY[ch] for ch in row] for row in rows]


# ---------------------------------------------------------------------------------------------
# Signed distance functions: negative inside, in the same units as the coordinates.

def sd_segment(px, py, ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - ax - t * dx, py - ay - t * dy) - half_width


def sd_drop(px, py, cx, cy, r, tip_height, tip_radius):
    """A water drop: the convex hull of a circle of radius r at (cx, cy) and a small circle of
    radius tip_radius tip_height above it (y grows downwards)."""
    x = abs(px - cx)
    y = cy - py
    b = (r - tip_radius) / tip_height
    a = math.sqrt(1.0 - b * b)
    k = -b * x + a * y
    if k < 0.0:
        return math.hypot(x, y) - r
    if k > a * tip_height:
        return math.hypot(x, y - tip_height) - tip_radius
    return a * x + b * y - r


def coverage(distance, pixel):
    """Fraction of a pixel (pixel units per coordinate unit) that a shape covers at distance."""
    return max(0.0, min(1.0, 0.5 - distance * pixel))


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def hex_rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


# ---------------------------------------------------------------------------------------------
# RGBA canvas with straight alpha, channels as floats 0 to 255 and alpha 0 to 1.

class Canvas:
    def __init__(self, width, height, colour=(0, 0, 0), alpha=0.0):
        self.width = width
        self.height = height
        self.px = [[(colour[0], colour[1], colour[2], alpha) for _ in range(width)]
                   for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        r, g, b, a = self.px[y][x]
        out_a = alpha + a * (1.0 - alpha)
        if out_a <= 0.0:
            return
        keep = a * (1.0 - alpha) / out_a
        take = alpha / out_a
        self.px[y][x] = (colour[0] * take + r * keep, colour[1] * take + g * keep,
                         colour[2] * take + b * keep, out_a)

    def shade(self, distance, colour, opacity=1.0, box=None):
        """Paints a shape given by distance(x, y) at pixel centres; colour may be a function of
        the pixel centre. box limits the pixels visited."""
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                cov = coverage(distance(x + 0.5, y + 0.5), 1.0)
                if cov > 0.0:
                    c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                    self.blend(x, y, c, cov * opacity)

    def rgba_rows(self):
        return [[(round(r), round(g), round(b), round(a * 255)) for (r, g, b, a) in row]
                for row in self.px]

    def rgb_rows(self):
        return [[(round(r), round(g), round(b)) for (r, g, b, _) in row] for row in self.px]


# ---------------------------------------------------------------------------------------------
# The emblem: a water drop with a check mark. Lengths are fractions of the square's side; the
# check mark is placed relative to the drop's round part (its centre and radius).

DROP_CENTRE_Y = 0.625
DROP_RADIUS = 0.345
DROP_TIP_Y = 0.05
RIM = 0.045
CHECK_HALF_WIDTH = 0.058
CHECK = [(-0.53, 0.05), (-0.18, 0.40), (0.50, -0.33)]
SHINE_ANGLE = 140.0  # degrees, counter-clockwise from the right: the upper left of the drop
EMBLEM_COLOURS = dict(rim=hex_rgb('#0b3b7e'), top=hex_rgb('#62c6f4'), bottom=hex_rgb('#1b67cc'),
                      shine=(255, 255, 255), check=(255, 255, 255), shadow=hex_rgb('#0b3b7e'))


def draw_emblem(canvas, left, top, size):
    """Draws the emblem anti-aliased into the size x size square at (left, top). The round part
    is snapped to whole pixels, so that its sides and bottom stay sharp at small sizes."""
    radius = float(round(DROP_RADIUS * size))
    cx = left + round(size / 2.0)
    cy = top + round(DROP_CENTRE_Y * size + radius) - radius
    tip_height = cy - (top + DROP_TIP_Y * size)
    rim = max(1.0, float(round(RIM * size)))
    check_half = max(1.0, CHECK_HALF_WIDTH * size)
    points = [(cx + u * radius, cy + v * radius) for (u, v) in CHECK]
    c = EMBLEM_COLOURS

    def drop(x, y):
        return sd_drop(x, y, cx, cy, radius, tip_height, max(0.4, 0.012 * size))

    def body_colour(x, y):
        v = (y - top) / size
        return mix(c['top'], c['bottom'], max(0.0, min(1.0, (v - 0.15) / 0.8)))

    def shine(x, y):
        # A short arc along the upper left of the round part, just inside the rim.
        ring = abs(math.hypot(x - cx, y - cy) - (radius - rim - 0.055 * size))
        angle = math.degrees(math.atan2(cy - y, x - cx)) % 360
        along = max(0.0, abs(angle - SHINE_ANGLE) - 24.0) * math.pi / 180.0 * radius
        return max(ring, along) - 0.028 * size

    def check(x, y, dx=0.0, dy=0.0):
        (ax, ay), (bx, by), (ex, ey) = points
        return min(sd_segment(x - dx, y - dy, ax, ay, bx, by, check_half),
                   sd_segment(x - dx, y - dy, bx, by, ex, ey, check_half))

    box = (int(left) - 1, int(top) - 1, int(left + size) + 2, int(top + size) + 2)
    canvas.shade(drop, c['rim'], box=box)
    canvas.shade(lambda x, y: drop(x, y) + rim, body_colour, box=box)
    if size >= 24:
        canvas.shade(shine, c['shine'], opacity=0.55, box=box)
        shadow = lambda x, y: max(check(x, y, 0.0, 0.03 * size), drop(x, y) + rim)
        canvas.shade(shadow, c['shadow'], opacity=0.35, box=box)
    canvas.shade(check, c['check'], box=box)


# ---------------------------------------------------------------------------------------------
# Pixel art.

STATUS_FAILED = '''
................
.........mrrrm..
........mrrrrm..
........mrrrrm..
.......mrrrrm...
.......mrrrrm...
......mrrrrm....
......mrrrm.....
.....mrrrm......
.....mrrrm......
.....mrrm.......
................
...mrrm.........
..mrrrm.........
..mrrm..........
................
'''

STATUS_OK = '''
................
.....gggggg.....
...ggllllllgg...
..gllwwllllllg..
..glwwlllllllg..
.glwllllllllllg.
.gllllllllllllg.
.gllllllllllllg.
.gllllllllllllg.
.glllllllllllgg.
.gllllllllllggg.
..glllllllllgg..
..gllllllllggg..
...gglllllggg...
.....gggggg.....
................
'''

STATUS_UNREADABLE = '''
................
.....mmmmmm.....
....mrrrrrrm....
...mrrrrrrrrm...
..mrrr....rrrm..
.mrrrrr....rrrm.
.mrr.rrr....rrm.
.mrr..rrr...rrm.
.mrr...rrr..rrm.
.mrr....rrr.rrm.
.mrrr....rrrrrm.
..mrrr....rrrm..
...mrrrrrrrrm...
....mrrrrrrm....
.....mmmmmm.....
................
'''


# A dropped file that no list names: a grey disc with a question mark.
STATUS_NO_LIST = '''
................
.....aaaaaa.....
...aaaaaaaaaa...
..aaaawwwwaaaa..
..aaawwaawwaaa..
.aaaaaaaawwaaaa.
.aaaaaaawwaaaaa.
.aaaaaawwaaaaaa.
.aaaaaawwaaaaaa.
.aaaaaaaaaaaaaa.
.aaaaaawwaaaaaa.
..aaaaawwaaaaa..
..aaaaaaaaaaaa..
...aaaaaaaaaa...
.....aaaaaa.....
................
'''

# A list's signature, a shield each: good (green, a tick), BAD (red, a cross), and not verified
# (yellow, a question mark).
STATUS_SIGNATURE_GOOD = '''
................
.gggggggggggggg.
.gllllllllllllg.
.gllllllllllwlg.
.glllllllllwwlg.
.gllllllllwwllg.
.glwllllllwlllg.
.glwwllllwwlllg.
..glwwllwwlllg..
..gllwwwwllllg..
...glllwwlllg...
...gllllllllg...
....gllllllg....
.....gllllg.....
.......gg.......
................
'''

STATUS_SIGNATURE_BAD = '''
................
.mmmmmmmmmmmmmm.
.mrrrrrrrrrrrrm.
.mrwwrrrrrrwwrm.
.mrrwwrrrrwwrrm.
.mrrrwwrrwwrrrm.
.mrrrrwwwwrrrrm.
.mrrrrrwwrrrrrm.
..mrrrwwwwrrrm..
..mrrwwrrwwrrm..
...mwwrrrrwwm...
...mrrrrrrrrm...
....mrrrrrrm....
.....mrrrrm.....
.......mm.......
................
'''

STATUS_SIGNATURE_UNVERIFIED = '''
................
.oooooooooooooo.
.oyyyyyyyyyyyyo.
.oyyyykkkkyyyyo.
.oyyykkyykkyyyo.
.oyyyyyyykkyyyo.
.oyyyyyykkyyyyo.
.oyyyyykkyyyyyo.
..oyyyykkyyyyo..
..oyyyyyyyyyyo..
...oyyykkyyyo...
...oyyykkyyyo...
....oyyyyyyo....
.....oyyyyo.....
.......oo.......
................
'''


def size_grip_indices():
    """Three diagonal ridges in the bottom-right corner: a white highlight line above two
    shadow lines, in the face colour."""
    n = 16
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            s = x + y
            value = FACE
            for ridge in range(3):
                base = 2 * (n - 1) - 1 - 4 * ridge
                if s in (base, base - 1):
                    value = 8
                elif s == base - 2:
                    value = 15
            row.append(value)
        rows.append(row)
    return rows


# ---------------------------------------------------------------------------------------------
# The 4-bit icons: the emblem drawn by hand with the palette's navy, blue, aqua and white, after
# the same drop and check mark that draw_emblem describes.

ICON_32 = '''
................................
...............nn...............
...............nn...............
..............nbbn..............
..............nbbn..............
.............nbbbbn.............
............nbbbbbbn............
............nbbbbbbn............
...........nbbbbbbbbn...........
..........nbbbbbbbbbbn..........
..........nbbbbbbbbbbn..........
.........nbbbbbbbbbbbbn.........
.........nbbbbbbbbbbbbn.........
........nbbbbbbbbbbbbbbn........
.......nbbcbbbbbbbbbbbbbn.......
.......nbcbbbbbbbbbbbwbbn.......
......nbcbbbbbbbbbbbwwwbbn......
......nbcbbbbbbbbbbwwwwbbn......
......nbcbbbbbbbbbwwwwnnbn......
.....nbcbbbbbbbbbwwwwnnbbbn.....
.....nbbbwwwbbbbwwwwnnbbbbn.....
.....nbbbwwwwbbwwwwnnbbbbbn.....
......nbbwwwwwwwwwnnbbbbbn......
......nbbnwwwwwwwnnbbbbbbn......
......nbbbnwwwwwnnbbbbbbbn......
.......nbbbnwwwnnbbbbbbbn.......
.......nbbbbnnnnbbbbbbbbn.......
........nbbbbnnbbbbbbbbn........
.........nbbbbbbbbbbbbn.........
..........nnbbbbbbbbnn..........
............nnnnnnnn............
................................
'''

ICON_16 = '''
................
.......nn.......
......nbbn......
......nbbn......
.....nbbbbn.....
....nbbbbbbn....
....nbbbbbbn....
...ncbbbbbbwn...
..ncbbbbbbwwbn..
..ncbbbbbwwbbn..
..nbwbbbwwbbbn..
..nbwwbwwbbbbn..
..nbbwwwbbbbbn..
...nbbwbbbbbn...
....nnbbbbnn....
......nnnn......
'''


# ---------------------------------------------------------------------------------------------
# Pixel fonts for the banner: 5 x 7 letters (g descends two rows), and 3 x 5 hex digits.

FONT = {
    'B': ['####.', '#...#', '#...#', '####.', '#...#', '#...#', '####.'],
    'D': ['###..', '#..#.', '#...#', '#...#', '#...#', '#..#.', '###..'],
    'C': ['.###.', '#...#', '#....', '#....', '#....', '#...#', '.###.'],
    'E': ['#####', '#....', '#....', '####.', '#....', '#....', '#####'],
    'F': ['#####', '#....', '#....', '####.', '#....', '#....', '#....'],
    'H': ['#...#', '#...#', '#...#', '#####', '#...#', '#...#', '#...#'],
    'K': ['#...#', '#..#.', '#.#..', '##...', '#.#..', '#..#.', '#...#'],
    'M': ['#...#', '##.##', '#.#.#', '#.#.#', '#...#', '#...#', '#...#'],
    'R': ['####.', '#...#', '#...#', '####.', '#.#..', '#..#.', '#...#'],
    'S': ['.####', '#....', '#....', '.###.', '....#', '....#', '####.'],
    'U': ['#...#', '#...#', '#...#', '#...#', '#...#', '#...#', '.###.'],
    '1': ['..#..', '.##..', '..#..', '..#..', '..#..', '..#..', '.###.'],
    '2': ['.###.', '#...#', '....#', '...#.', '..#..', '.#...', '#####'],
    '3': ['####.', '....#', '....#', '.###.', '....#', '....#', '####.'],
    '5': ['#####', '#....', '####.', '....#', '....#', '#...#', '.###.'],
    'a': ['....', '....', '.###.', '....#', '.####', '#...#', '.####'],
    'c': ['....', '....', '.###', '#...', '#...', '#...', '.###'],
    'e': ['.....', '.....', '.###.', '#...#', '#####', '#....', '.###.'],
    'g': ['.....', '.....', '.####', '#...#', '#...#', '#...#', '.####', '....#', '.###.'],
    'i': ['#', '.', '#', '#', '#', '#', '#'],
    'k': ['#...', '#...', '#..#', '#.#.', '##..', '#.#.', '#..#'],
    'o': ['.....', '.....', '.###.', '#...#', '#...#', '#...#', '.###.'],
    'r': ['....', '....', '#.##', '##..', '#...', '#...', '#...'],
    's': ['....', '....', '.###', '#...', '.##.', '...#', '###.'],
    't': ['.#..', '.#..', '###.', '.#..', '.#..', '.#..', '..##'],
    'w': ['.....', '.....', '#...#', '#...#', '#.#.#', '#.#.#', '.#.#.'],
    ' ': ['...'],
    '-': ['....', '....', '....', '###.', '....', '....', '....'],
}

HEX_FONT = {
    '0': ['###', '#.#', '#.#', '#.#', '###'], '1': ['.#.', '##.', '.#.', '.#.', '###'],
    '2': ['###', '..#', '###', '#..', '###'], '3': ['###', '..#', '.##', '..#', '###'],
    '4': ['#.#', '#.#', '###', '..#', '..#'], '5': ['###', '#..', '###', '..#', '###'],
    '6': ['###', '#..', '###', '#.#', '###'], '7': ['###', '..#', '.#.', '.#.', '.#.'],
    '8': ['###', '#.#', '###', '#.#', '###'], '9': ['###', '#.#', '###', '..#', '###'],
    'a': ['.#.', '#.#', '###', '#.#', '#.#'], 'b': ['##.', '#.#', '##.', '#.#', '##.'],
    'c': ['###', '#..', '#..', '#..', '###'], 'd': ['##.', '#.#', '#.#', '#.#', '##.'],
    'e': ['###', '#..', '##.', '#..', '###'], 'f': ['###', '#..', '##.', '#..', '#..'],
}


def glyph_width(font, ch):
    return max(len(row) for row in font[ch])


def draw_text(canvas, font, text, left, top, scale, colour, opacity=1.0, spacing=1):
    x = left
    for ch in text:
        for gy, row in enumerate(font[ch]):
            for gx, bit in enumerate(row):
                if bit == '#':
                    for dy in range(scale):
                        for dx in range(scale):
                            canvas.blend(x + gx * scale + dx, top + gy * scale + dy, colour,
                                         opacity)
        x += (glyph_width(font, ch) + spacing) * scale


# ---------------------------------------------------------------------------------------------
# The About box banner.

LOGO_W, LOGO_H = 300, 58


def draw_logo():
    sky_top, sky_bottom = hex_rgb('#fbfdfe'), hex_rgb('#dcecf4')
    canvas = Canvas(LOGO_W, LOGO_H)
    for y in range(LOGO_H):
        colour = mix(sky_top, sky_bottom, y / (LOGO_H - 1))
        for x in range(LOGO_W):
            canvas.px[y][x] = (colour[0], colour[1], colour[2], 1.0)

    # Faint columns of digests behind everything: the checksum motif.
    digits = ''.join(hashlib.md5(('Brackwater Digestor %d' % i).encode()).hexdigest()
                     for i in range(8))
    faint = hex_rgb('#7fb2cc')
    pos = 0
    for top in range(2, LOGO_H - 4, 7):
        x = 168 + (top * 3) % 8
        while x < LOGO_W - 2:
            fade = min(1.0, (x - 168) / 90.0)
            draw_text(canvas, HEX_FONT, digits[pos % len(digits)], x, top, 1, faint,
                      opacity=0.15 * fade)
            pos += 1
            x += 5

    # Brackish water: three wave bands along the bottom.
    def wave(level, amplitude, length, phase):
        return lambda x, y: (level + amplitude * math.sin(2 * math.pi * x / length + phase)) - y

    canvas.shade(wave(47.5, 1.6, 58.0, 0.6), hex_rgb('#6fb8d2'), opacity=0.55)
    canvas.shade(wave(51.0, 1.3, 41.0, 2.2), hex_rgb('#2b86ad'), opacity=0.65)
    canvas.shade(wave(54.5, 1.0, 33.0, 4.0), hex_rgb('#175f8a'), opacity=0.75)

    # Ripples where the drop meets the water.
    for radius, opacity in ((9.0, 0.55), (14.5, 0.35)):
        ellipse = lambda x, y, r=radius: abs(math.hypot((x - 30.0) / r, (y - 49.0) / (r * 0.24))
                                             - 1.0) * r * 0.24 - 0.45
        canvas.shade(ellipse, (255, 255, 255), opacity=opacity)

    draw_emblem(canvas, 8, 2, 44)

    name = 'Brackwater Digestor'
    name_left, name_top = 60, 9
    draw_text(canvas, FONT, name, name_left + 1, name_top + 1, 2, hex_rgb('#9cc7dc'))
    draw_text(canvas, FONT, name, name_left, name_top, 2, hex_rgb('#0c2f5a'))

    tagline = 'MD5 CHECKSUMS - RFC 1321'
    draw_text(canvas, FONT, tagline, name_left + 1, name_top + 23, 1, hex_rgb('#1d7893'))
    return canvas


# ---------------------------------------------------------------------------------------------

def build_all():
    """Every output as (relative path, bytes)."""
    files = []

    grids = (STATUS_FAILED, STATUS_OK, STATUS_UNREADABLE, STATUS_NO_LIST, STATUS_SIGNATURE_GOOD,
             STATUS_SIGNATURE_BAD, STATUS_SIGNATURE_UNVERIFIED)
    images = [grid_indices(grid, 16, 16) for grid in grids]
    strip = [sum(rows, []) for rows in zip(*images)]
    files.append(('status_images.bmp', bmp_4bpp(16 * len(grids), 16, strip)))

    files.append(('about_logo.bmp', bmp_24bpp(LOGO_W, LOGO_H, draw_logo().rgb_rows())))
    files.append(('app_icon_32.bmp', bmp_4bpp(32, 32, grid_indices(ICON_32, 32, 32))))
    files.append(('app_icon_16.bmp', bmp_4bpp(16, 16, grid_indices(ICON_16, 16, 16))))
    files.append(('size_grip.bmp', bmp_4bpp(16, 16, size_grip_indices())))

    for size in (16, 32, 48, 64, 128, 256):
        canvas = Canvas(size, size)
        draw_emblem(canvas, 0, 0, size)
        path = 'icons/hicolor/%dx%d/apps/brackwater-digestor.png' % (size, size)
        files.append((path, png_rgba(size, size, canvas.rgba_rows())))
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--out', default=os.path.dirname(os.path.abspath(__file__)),
                        help='folder to write into (default: the folder of this script)')
    parser.add_argument('--check', action='store_true',
                        help='compare with the files in the folder instead of writing')
    args = parser.parse_args()

    stale = []
    for relative, data in build_all():
        path = os.path.join(args.out, relative)
        if args.check:
            try:
                with open(path, 'rb') as f:
                    if f.read() != data:
                        stale.append(relative)
            except OSError:
                stale.append(relative)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as f:
            f.write(data)
    for relative in stale:
        print('differs: ' + relative, file=sys.stderr)
    return 1 if stale else 0


if __name__ == '__main__':
    sys.exit(main())
