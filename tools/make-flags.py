#!/usr/bin/env python3
"""Draws the flag bitmaps shown beside the language list: lang/<Name>.bmp.

Each flag is 16 x 12 pixels, 24-bit BMP, so it fits the 16-pixel picture box of the
Options dialog. Pixels are supersampled so the thin stripes of the Union Jack blend
instead of vanishing. Standard library only; run from anywhere:
    tools/make-flags.py [output folder]   (default: lang/ beside this script's folder)
"""
import math
import os
import struct
import sys

WIDTH, HEIGHT = 16, 12
SAMPLES = 8  # per axis and pixel

WHITE = (255, 255, 255)


def pixel(x, y):
    return math.floor(x * WIDTH), math.floor(y * HEIGHT)


def centre(x, y):
    px, py = pixel(x, y)
    return (px + 0.5) / WIDTH, (py + 0.5) / HEIGHT


def union_jack(x, y):
    # The upright cross is laid on whole pixels so it stays crisp: two red pixels wide
    # with one white pixel either side.
    px, py = pixel(x, y)
    if px in (7, 8) or py in (5, 6):
        return (200, 16, 46)  # red cross of St George
    if px in (6, 9) or py in (4, 7):
        return WHITE  # its white border
    # The diagonals follow the flag's own 60 x 30 grid, stretched to the bitmap.
    u, v = x * 60 - 30, y * 30 - 15  # v grows downwards
    d1 = abs(u - 2 * v) / math.sqrt(5)  # distance to the top-left/bottom-right diagonal
    d2 = abs(u + 2 * v) / math.sqrt(5)
    # St Patrick's red saltire is counterchanged: in each quarter it lies on the side
    # turned clockwise from the centre line.
    if u * v > 0:
        red_side = abs(v) < abs(u) / 2
    else:
        red_side = abs(v) > abs(u) / 2
    if min(d1, d2) < 2 and red_side:
        return (200, 16, 46)
    if min(d1, d2) < 3:
        return WHITE
    return (1, 33, 105)


# Stripes are decided per pixel centre so they never blend into each other.
def germany(x, y):
    _, cy = centre(x, y)
    return [(0, 0, 0), (221, 0, 0), (255, 206, 0)][min(int(cy * 3), 2)]


def france(x, y):
    cx, _ = centre(x, y)
    return [(0, 85, 164), WHITE, (239, 65, 53)][min(int(cx * 3), 2)]


def spain(x, y):
    _, cy = centre(x, y)
    red, yellow = (170, 21, 27), (241, 191, 0)
    return yellow if 0.25 <= cy < 0.75 else red


FLAGS = {"English": union_jack, "German": germany, "French": france, "Spanish": spain}


def render(flag):
    rows = []
    for py in range(HEIGHT):
        row = []
        for px in range(WIDTH):
            total = [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / WIDTH
                    y = (py + (sy + 0.5) / SAMPLES) / HEIGHT
                    for i, c in enumerate(flag(x, y)):
                        total[i] += c
            row.append(tuple(round(c / SAMPLES**2) for c in total))
        rows.append(row)
    return rows


def bmp_bytes(rows):
    stride = (WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # BMP rows run bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels),
                              3780, 3780, 0, 0)  # 96 dots per inch
    return file_header + info_header + bytes(pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "lang")
    for name, flag in FLAGS.items():
        path = os.path.join(out, name + ".bmp")
        with open(path, "wb") as f:
            f.write(bmp_bytes(render(flag)))
        print(path)


if __name__ == "__main__":
    main()
