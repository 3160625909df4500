#!/usr/bin/env python3
"""Writes the demo application's picture: a 256x128 16-colour Windows bitmap
(a lantern on a gradient sky).  Run once; the result is committed."""
import struct
import sys

W, H = 256, 128
palette = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

def pixel(x, y):  # y = 0 is the top row
    cx, cy = W // 2, H // 2
    if abs(x - cx) <= 14 and cy - 30 <= y <= cy + 30:          # lantern body
        if abs(x - cx) <= 9 and cy - 22 <= y <= cy + 22:
            return 11 if (x + y) % 7 else 15                   # flame glow
        return 8
    if abs(x - cx) <= 3 and cy - 40 <= y < cy - 30:            # handle
        return 0
    if y > H - 16:
        return 2                                                # grass
    return 4 if y < H // 3 else (12 if y < 2 * H // 3 else 6)   # sky bands

rows = []
for y in range(H - 1, -1, -1):  # bottom-up
    row = bytearray()
    for x in range(0, W, 2):
        row.append((pixel(x, y) << 4) | pixel(x + 1, y))
    rows.append(bytes(row))
bits = b"".join(rows)
pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
header_size = 14 + 40 + len(pal)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(bits), 2835, 2835, 16, 0)
file_header = struct.pack("<2sIHHI", b"BM", header_size + len(bits), 0, 0, header_size)
with open(sys.argv[1] if len(sys.argv) > 1 else "LOGO.BMP", "wb") as f:
    f.write(file_header + info + pal + bits)
