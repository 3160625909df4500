#!/usr/bin/env python3
"""Draws the application icon of SETUP.EXE: a blue arrow dropping into an
open yellow box, 32x32 pixels in the 16 standard colours.

Writes src/backends/win32/resources/app.ico (or the path given).  The icon is
committed; run this again only to change it.  --preview prints the picture as text.
"""
import struct
import sys
from pathlib import Path

# The 16 standard colours, in their usual palette order (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, NAVY, GREY, DARK_GREY, YELLOW, BLUE, CYAN = 0, 3, 4, 7, 8, 11, 12, 14
SIZE = 32
CLEAR = None


def draw():
    grid = [[CLEAR] * SIZE for _ in range(SIZE)]

    def fill(x0, y0, x1, y1, colour):  # inclusive corners
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                grid[y][x] = colour

    # Inside of the box, seen over the front edge.
    fill(5, 14, 26, 17, OLIVE)
    # Back flaps, folded open to both sides.
    for i in range(4):
        fill(1 + i, 13 - i, 5 + i, 13 - i, YELLOW)
        fill(26 - i, 13 - i, 30 - i, 13 - i, YELLOW)
    # The arrow: shaft, then a head narrowing to its point inside the box.
    fill(13, 0, 18, 9, BLUE)
    fill(14, 0, 14, 9, CYAN)
    for row in range(8):
        fill(8 + row, 10 + row, 23 - row, 10 + row, BLUE)
        grid[10 + row][8 + row] = NAVY
        grid[10 + row][23 - row] = NAVY
    for y in range(10):
        grid[y][12] = NAVY
        grid[y][19] = NAVY
    # Front of the box hides the rest of the arrow.
    fill(4, 18, 27, 30, YELLOW)
    fill(4, 18, 27, 18, BLACK)
    fill(4, 31, 27, 31, BLACK)
    fill(3, 18, 3, 31, BLACK)
    fill(28, 18, 28, 31, BLACK)
    fill(24, 19, 27, 30, OLIVE)  # shaded side
    fill(8, 22, 19, 23, DARK_GREY)  # a label
    fill(8, 25, 15, 26, GREY)
    return grid


def ico_bytes(grid):
    # Rows are stored bottom-up: the XOR image at 4 bits per pixel, then the
    # AND mask at 1 bit per pixel (1 = transparent), each row padded to 4 bytes.
    xor = bytearray()
    mask = bytearray()
    for row in reversed(grid):
        for x in range(0, SIZE, 2):
            hi, lo = (c if c is not CLEAR else 0 for c in row[x:x + 2])
            xor.append(hi << 4 | lo)
        bits = 0
        for c in row:
            bits = bits << 1 | (c is CLEAR)
        mask += struct.pack(">I", bits)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    args = sys.argv[1:]
    grid = draw()
    if "--preview" in args:
        for row in grid:
            print("".join("." if c is CLEAR else "0123456789ABCDEF"[c] for c in row))
        return
    resources = Path(__file__).resolve().parent.parent / "src/backends/win32/resources"
    target = Path(args[0]) if args else resources / "app.ico"
    target.write_bytes(ico_bytes(grid))
    print(f"wrote {target}")


if __name__ == "__main__":
    main()
