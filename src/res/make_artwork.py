#!/usr/bin/env python3
"""Draws the installer's artwork and encodes its what's-new text.

    make_artwork.py OUTDIR WHATSNEW_UTF8

writes into OUTDIR:
  setup.ico     icon 111: 32x32 and 16x16, 8 bits per pixel, 256-colour palette, AND mask;
                a computer with a disc in front of it.
  logo.bmp      bitmap 113: 88x31, 4 bits per pixel, 16-colour palette, BI_RGB; a red
                emblem beside the name "Pixelmoor" on a light grey raised panel.
  whatsnew-utf16.txt  "TXT" 217: the UTF-8 release notes as UTF-16LE with byte-order mark and
                CR LF line ends, no terminating null.

The pictures are drawn from a few shapes, so the output is the same byte for byte on every
run; nothing depends on the time or the machine.
"""

import struct
import sys
from pathlib import Path

# --- palettes -------------------------------------------------------------------------------

# The 16 standard VGA colours, in their usual order.
VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, MAROON, NAVY, SILVER, GREY, RED, YELLOW, BLUE, CYAN, WHITE = 0, 1, 4, 7, 8, 9, 11, 12, 14, 15


def palette256():
    """VGA colours, then a 6x6x6 colour cube, then a ramp of greys: 256 entries."""
    pal = list(VGA16)
    levels = [0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF]
    pal += [(r, g, b) for r in levels for g in levels for b in levels]
    pal += [(v, v, v) for v in range(0x08, 0x08 + 24 * 10, 10)]
    assert len(pal) == 256
    return pal


def cube(r, g, b):
    """Index of a colour-cube entry; r, g, b in 0..5."""
    return 16 + 36 * r + 6 * g + b


# --- drawing --------------------------------------------------------------------------------

class Canvas:
    """Palette indices, row 0 at the top; None marks a transparent pixel."""

    def __init__(self, w, h, fill=None):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        """Filled rectangle, corners inclusive."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def frame(self, x0, y0, x1, y1, light, dark):
        """One-pixel bevel: light top and left edges, dark bottom and right edges."""
        for x in range(x0, x1 + 1):
            self.put(x, y0, light)
            self.put(x, y1, dark)
        for y in range(y0, y1 + 1):
            self.put(x0, y, light)
            self.put(x1, y, dark)

    def disc(self, cx, cy, r, c):
        """Filled circle around the pixel-centre point (cx, cy)."""
        for y in range(self.h):
            for x in range(self.w):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                    self.put(x, y, c)


# --- icon -----------------------------------------------------------------------------------

def draw_computer(size):
    """A monitor on a stand with a compact disc leaning against its lower right corner."""
    s = size / 32.0
    c = Canvas(size, size)

    def sc(v):
        return int(round(v * s))

    screen_blue = cube(0, 2, 5)
    screen_light = cube(2, 4, 5)
    # Monitor case with bevel, screen, stand and foot.
    c.rect(sc(1), sc(2), sc(25), sc(20), SILVER)
    c.frame(sc(1), sc(2), sc(25), sc(20), WHITE, GREY)
    c.rect(sc(4), sc(5), sc(22), sc(17), screen_blue)
    c.frame(sc(4), sc(5), sc(22), sc(17), GREY, WHITE)
    c.rect(sc(6), sc(7), sc(12), sc(9), screen_light)  # a window on the screen
    c.rect(sc(10), sc(21), sc(16), sc(23), GREY)
    c.rect(sc(5), sc(24), sc(21), sc(26), SILVER)
    c.frame(sc(5), sc(24), sc(21), sc(26), WHITE, GREY)
    # Compact disc: dark rim, silver face, rainbow glint, hole.
    cx, cy, r = 24.0 * s, 24.0 * s, 7.5 * s
    c.disc(cx, cy, r, GREY)
    c.disc(cx, cy, r - max(1.0, s), cube(4, 4, 5))
    c.disc(cx, cy, r * 0.62, SILVER)
    for dx, col in ((-0.35, YELLOW), (0.0, cube(5, 3, 5)), (0.35, CYAN)):
        c.put(int(cx + dx * r), int(cy - r * 0.55), col)
    c.disc(cx, cy, max(1.0, 2.2 * s), WHITE)
    c.disc(cx, cy, max(0.5, 1.2 * s), None)
    return c


def dib_8bpp_with_mask(canvas, pal):
    """BITMAPINFOHEADER (height doubled), palette, XOR pixels, AND mask; rows bottom-up."""
    w, h = canvas.w, canvas.h
    xor_stride = (w + 3) & ~3
    and_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = canvas.px[y]
        xor += bytes(0 if p is None else p for p in row) + bytes(xor_stride - w)
        bits = bytearray(and_stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal)
    return header + colours + bytes(xor) + bytes(mask)


def make_icon():
    pal = palette256()
    images = [dib_8bpp_with_mask(draw_computer(n), pal) for n in (32, 16)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, img in zip((32, 16), images):
        out += struct.pack("<BBBBHHII", n, n, 0, 0, 1, 8, len(img), offset)
        offset += len(img)
    return out + b"".join(images)


# --- logo bitmap ----------------------------------------------------------------------------

# A 5-pixel-wide font for the product name; rows from the cap height down to the descender.
GLYPHS = {
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#....", ".....", "....."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###.", ".....", "....."],
    "x": [".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", ".....", "....."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###.", ".....", "....."],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###.", ".....", "....."],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#", ".....", "....."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###.", ".....", "....."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#....", ".....", "....."],
}


def draw_logo():
    w, h = 88, 31
    c = Canvas(w, h, SILVER)
    # Raised panel: a two-pixel bevel, white and silver-white above, grey and black below.
    c.frame(0, 0, w - 1, h - 1, WHITE, BLACK)
    c.frame(1, 1, w - 2, h - 2, WHITE, GREY)
    # Red emblem: a round badge with a dark rim and a white "P"-shaped frame inside.
    c.disc(14.0, 15.0, 10.5, MAROON)
    c.disc(14.0, 15.0, 9.3, RED)
    c.rect(10, 8, 12, 22, WHITE)
    c.rect(13, 8, 17, 9, WHITE)
    c.rect(13, 14, 17, 15, WHITE)
    c.rect(18, 9, 19, 14, WHITE)
    # The product name in navy, with a one-pixel white highlight below and right.
    x0, y0 = 29, 11
    for dx, dy, col in ((1, 1, WHITE), (0, 0, NAVY)):
        x = x0
        for ch in "Pixelmoor":
            for gy, row in enumerate(GLYPHS[ch]):
                for gx, bit in enumerate(row):
                    if bit == "#":
                        c.put(x + gx + dx, y0 + gy + dy, col)
            x += 6
    return c


def make_bmp():
    c = draw_logo()
    w, h = c.w, c.h
    stride = ((w * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x, p in enumerate(c.px[y]):
            row[x // 2] |= p << (4 if x % 2 == 0 else 0)
        pixels += row
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in VGA16)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    offset = 14 + len(info) + len(colours)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + colours + bytes(pixels)


# --- what's-new text ------------------------------------------------------------------------

def make_whatsnew(source):
    text = Path(source).read_text(encoding="utf-8")
    if "\r" in text:
        raise SystemExit(f"{source}: expected LF line ends in the source")
    if not text.endswith("\n"):
        text += "\n"
    return b"\xff\xfe" + text.replace("\n", "\r\n").encode("utf-16-le")


def main(argv):
    if len(argv) != 3:
        raise SystemExit("usage: make_artwork.py OUTDIR WHATSNEW_UTF8")
    out = Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "setup.ico").write_bytes(make_icon())
    (out / "logo.bmp").write_bytes(make_bmp())
    (out / "whatsnew-utf16.txt").write_bytes(make_whatsnew(argv[2]))


if __name__ == "__main__":
    main(sys.argv)
