#!/usr/bin/env python3
"""Writes simple, distinct 32x32 icons (32-bit colour with alpha) for the sample programs.

    gen_icons.py OUTDIR PREFIX COUNT

writes OUTDIR/PREFIX0.ico ... OUTDIR/PREFIX<COUNT-1>.ico. Icon n is a rounded tile in its own
colour with n+1 white bars, so that the icons can be told apart by eye and by pixel. The
output depends on nothing but the arguments.
"""
import struct
import sys
from pathlib import Path

SIZE = 32

# One colour per icon, repeated with a darker shade when more are asked for.
PALETTE = [
    (0x2E, 0x6F, 0xB7), (0xC0, 0x39, 0x2B), (0x27, 0xAE, 0x60), (0xF3, 0x9C, 0x12),
    (0x8E, 0x44, 0xAD), (0x16, 0xA0, 0x85), (0xD3, 0x54, 0x00), (0x34, 0x49, 0x5E),
    (0xE9, 0x1E, 0x63), (0x79, 0x55, 0x48), (0x60, 0x7D, 0x8B), (0x9E, 0x9D, 0x24),
]


def icon_pixels(index):
    """Rows top to bottom of (b, g, r, a) tuples."""
    r, g, b = PALETTE[index % len(PALETTE)]
    if index >= len(PALETTE):
        r, g, b = r // 2, g // 2, b // 2
    bars = index + 1
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            # Tile with cut corners and a one-pixel dark border.
            corner = min(x, SIZE - 1 - x) + min(y, SIZE - 1 - y)
            if corner < 3:
                row.append((0, 0, 0, 0))
                continue
            edge = min(x, y, SIZE - 1 - x, SIZE - 1 - y) == 0 or corner == 3
            if edge:
                row.append((b // 3, g // 3, r // 3, 255))
                continue
            # Bars: columns of width 2 with gaps of 1, from x = 4, rows 8 to 23.
            col = x - 4
            in_bar = 8 <= y <= 23 and 0 <= col < bars * 3 - 1 and col % 3 != 2 and col < 24
            if in_bar or (bars > 8 and 26 <= y <= 27 and 4 <= x < 4 + (bars - 8) * 6):
                row.append((255, 255, 255, 255))
            else:
                row.append((b, g, r, 255))
        rows.append(row)
    return rows


def ico_bytes(index):
    rows = icon_pixels(index)
    xor = bytearray()
    for row in reversed(rows):  # DIB rows are stored bottom-up
        for b, g, r, a in row:
            xor += bytes((b, g, r, a))
    mask = bytearray()
    for row in reversed(rows):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return icondir + entry + image


def main(argv):
    if len(argv) != 4:
        sys.exit("usage: gen_icons.py OUTDIR PREFIX COUNT")
    out = Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for i in range(int(argv[3])):
        data = ico_bytes(i)
        path = out / f"{argv[2]}{i}.ico"
        # Leave an unchanged file alone so that its dependants are not rebuilt.
        if not path.exists() or path.read_bytes() != data:
            path.write_bytes(data)


if __name__ == "__main__":
    main(sys.argv)
