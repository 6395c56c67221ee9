#!/usr/bin/python3
"""Draws the Velmoria mark and writes it as the bar's logo and the program icon.

The mark is a "V" whose right arm is a rising chart line ending in an arrow
head. It is described once, in a unit square, and rasterised at each size:
18 x 18 for the logo (bitmap 206), 16 x 16 and 32 x 32 for the icon, and
the logo again at the bar's heights on scaled screens (23, 27, 32, 36, 45
and 54 pixels for 125 % to 300 %), so that it is drawn sharp at each rather
than blown up from 18 pixels; and 120 x 120 on the setup's welcome and finish panel (164 x 314, white), which
would otherwise show the installer tool's own picture.

The logo is a 16-colour BMP on light grey (192,192,192): when the bar loads
it with LR_LOADMAP3DCOLORS that grey becomes the button-face colour, so the
logo sits on the bar's own background. The icon uses the same colours with a
transparent background.

Run it from anywhere; it writes logo.bmp, velmoria.ico and setup-panel.bmp
beside itself.
The generated files are kept in the repository so the build needs no Python.
"""

import pathlib
import struct

# The standard 16-colour palette, in the order Windows uses for 4-bit images.
PALETTE = (
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
)
NAVY = 4
GREEN = 2
LIGHT_GREY = 7      # mapped to COLOR_3DFACE by LR_LOADMAP3DCOLORS
TRANSPARENT = None  # icon background: set in the AND mask
TRANSPARENT_INDEX = 0  # what a transparent icon pixel holds in the colour image

LOGO_SIZE = 18
# The larger logos, by size: file name logo-SIZE.bmp.
SCALED_LOGO_SIZES = (23, 27, 32, 36, 45, 54)
ICON_SIZES = (16, 32)
WHITE = 15
PANEL_WIDTH, PANEL_HEIGHT = 164, 314  # the size the setup's welcome page shows
PANEL_MARK_SIZE = 120
PANEL_MARK_TOP = 48
BITS_PER_PIXEL = 4
SUBSAMPLES = 4      # per axis, to decide whether a pixel is mostly covered
COVERED = 0.5

# The mark, in unit coordinates (x to the right, y downwards).
STROKE_WIDTH = 0.13
V_TOP_LEFT = (0.16, 0.16)
V_BOTTOM = (0.46, 0.84)
ARROW_TIP = (0.90, 0.10)
ARROW_LENGTH = 0.30
ARROW_HALF_WIDTH = 0.17


def arrow_head():
    """The chart line's head: a triangle pointing along the rising arm."""
    (bx, by), (tx, ty) = V_BOTTOM, ARROW_TIP
    length = ((tx - bx) ** 2 + (ty - by) ** 2) ** 0.5
    dx, dy = (tx - bx) / length, (ty - by) / length
    base = (tx - ARROW_LENGTH * dx, ty - ARROW_LENGTH * dy)
    return ((tx, ty),
            (base[0] - ARROW_HALF_WIDTH * dy, base[1] + ARROW_HALF_WIDTH * dx),
            (base[0] + ARROW_HALF_WIDTH * dy, base[1] - ARROW_HALF_WIDTH * dx)), base


ARROW_HEAD, ARROW_BASE = arrow_head()
LEFT_ARM = (V_TOP_LEFT, V_BOTTOM)
RIGHT_ARM = (V_BOTTOM, ARROW_BASE)


def distance_to_segment(px, py, segment):
    (ax, ay), (bx, by) = segment
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    cx, cy = ax + t * dx, ay + t * dy
    return ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5


def inside_triangle(px, py, triangle):
    def side(a, b):
        return (b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0])
    a, b, c = triangle
    sides = (side(a, b), side(b, c), side(c, a))
    return all(s >= 0 for s in sides) or all(s <= 0 for s in sides)


def colour_at(x, y):
    """Palette index of the mark at unit point (x, y), or None outside it."""
    if inside_triangle(x, y, ARROW_HEAD):
        return GREEN
    if distance_to_segment(x, y, RIGHT_ARM) <= STROKE_WIDTH / 2:
        return GREEN
    if distance_to_segment(x, y, LEFT_ARM) <= STROKE_WIDTH / 2:
        return NAVY
    return None


def rasterise(size, background):
    """Rows of palette indices, top row first; background where uncovered."""
    rows = []
    for row in range(size):
        pixels = []
        for column in range(size):
            votes = {}
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = (column + (sx + 0.5) / SUBSAMPLES) / size
                    y = (row + (sy + 0.5) / SUBSAMPLES) / size
                    colour = colour_at(x, y)
                    if colour is not None:
                        votes[colour] = votes.get(colour, 0) + 1
            covered = sum(votes.values()) / SUBSAMPLES ** 2
            if covered >= COVERED:
                pixels.append(max(votes, key=votes.get))
            else:
                pixels.append(background)
        rows.append(pixels)
    return rows


def padded(data):
    """BMP rows are padded to a multiple of 4 bytes."""
    return data + b"\0" * (-len(data) % 4)


def pack_4bit_row(pixels):
    indices = [TRANSPARENT_INDEX if p is TRANSPARENT else p for p in pixels]
    if len(indices) % 2:
        indices.append(0)
    return padded(bytes((hi << 4) | lo for hi, lo in zip(indices[::2], indices[1::2])))


def pack_mask_row(pixels):
    """AND mask: 1 where the icon is transparent."""
    bits = 0
    data = bytearray()
    for i, p in enumerate(pixels):
        bits = (bits << 1) | (1 if p is TRANSPARENT else 0)
        if i % 8 == 7:
            data.append(bits)
            bits = 0
    if len(pixels) % 8:
        data.append(bits << (8 - len(pixels) % 8))
    return padded(bytes(data))


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, BITS_PER_PIXEL,
                       0, image_size, 0, 0, len(PALETTE), 0)


def panel_rows():
    """The mark centred near the top of a white panel."""
    rows = [[WHITE] * PANEL_WIDTH for _ in range(PANEL_HEIGHT)]
    left = (PANEL_WIDTH - PANEL_MARK_SIZE) // 2
    for y, mark_row in enumerate(rasterise(PANEL_MARK_SIZE, WHITE)):
        rows[PANEL_MARK_TOP + y][left:left + PANEL_MARK_SIZE] = mark_row
    return rows


def bmp_file(rows):
    pixels = b"".join(pack_4bit_row(r) for r in reversed(rows))
    body = info_header(len(rows[0]), len(rows), len(pixels)) + palette_bytes() + pixels
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0,
                              14 + 40 + len(PALETTE) * 4)
    return file_header + body


def icon_image(rows):
    size = len(rows)
    colour = b"".join(pack_4bit_row(r) for r in reversed(rows))
    mask = b"".join(pack_mask_row(r) for r in reversed(rows))
    # An icon image's height counts the colour image and the mask together.
    return info_header(size, 2 * size, len(colour) + len(mask)) + palette_bytes() + colour + mask


def ico_file(images):
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory = b""
    for size, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, len(PALETTE), 0,
                                 1, BITS_PER_PIXEL, len(data), offset)
        offset += len(data)
    return header + directory + b"".join(data for _, data in images)


def main():
    here = pathlib.Path(__file__).resolve().parent
    (here / "logo.bmp").write_bytes(bmp_file(rasterise(LOGO_SIZE, LIGHT_GREY)))
    for size in SCALED_LOGO_SIZES:
        (here / ("logo-%d.bmp" % size)).write_bytes(bmp_file(rasterise(size, LIGHT_GREY)))
    images = [(size, icon_image(rasterise(size, TRANSPARENT))) for size in ICON_SIZES]
    (here / "velmoria.ico").write_bytes(ico_file(images))
    (here / "setup-panel.bmp").write_bytes(bmp_file(panel_rows()))


if __name__ == "__main__":
    main()
