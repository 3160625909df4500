#!/usr/bin/env python3
"""Draws the eight icons of the folder browser (drive kinds and folders),
32x32 pixels in the 16 standard colours, in the format of make_app_icon.py.

Writes src/backends/win32/resources/icon_<number>_<name>.ico (or into the folder
given).  The icons are committed; run this again only to change them.  --preview
prints the pictures as text.
"""
import sys
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ beside the scripts
sys.path.insert(0, str(Path(__file__).resolve().parent))
from make_app_icon import CLEAR, SIZE, ico_bytes  # noqa: E402

# Palette indices of the 16 standard colours.
BLACK, MAROON, GREEN, OLIVE, NAVY = 0, 1, 2, 3, 4
GREY, DARK_GREY, RED, LIME, YELLOW, BLUE, CYAN, WHITE = 7, 8, 9, 10, 11, 12, 14, 15


class Canvas:
    def __init__(self):
        self.grid = [[CLEAR] * SIZE for _ in range(SIZE)]

    def fill(self, x0, y0, x1, y1, colour):  # inclusive corners
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.grid[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        self.fill(x0, y0, x1, y0, colour)
        self.fill(x0, y1, x1, y1, colour)
        self.fill(x0, y0, x0, y1, colour)
        self.fill(x1, y0, x1, y1, colour)

    def box(self, x0, y0, x1, y1, inside, edge=BLACK):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, edge)

    def disc(self, cx, cy, radius, colour):
        for y in range(SIZE):
            for x in range(SIZE):
                if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                    self.grid[y][x] = colour


def drive_body(c, light=GREY):
    """A drive seen from the front and a little from above."""
    c.box(2, 12, 29, 16, WHITE)       # top face
    c.box(2, 16, 29, 25, light)       # front face
    c.fill(3, 24, 28, 24, DARK_GREY)  # shadow along the bottom edge


def hard_disk():
    c = Canvas()
    drive_body(c)
    c.fill(22, 20, 24, 21, LIME)      # activity light
    c.fill(5, 19, 15, 19, DARK_GREY)  # slot lines
    c.fill(5, 21, 15, 21, DARK_GREY)
    return c.grid


def floppy_disk():
    c = Canvas()
    c.box(6, 3, 25, 28, NAVY)
    c.box(10, 3, 21, 11, GREY)        # metal shutter
    c.fill(17, 5, 19, 9, NAVY)        # its window
    c.box(9, 16, 22, 28, WHITE)       # label
    for y in (19, 22, 25):
        c.fill(11, y, 20, y, BLUE)
    return c.grid


def compact_disc():
    c = Canvas()
    drive_body(c)
    c.fill(5, 20, 26, 21, BLACK)      # tray slot
    c.disc(16, 8, 7, GREY)            # the disc, sliding in from above
    c.disc(16, 8, 6, CYAN)
    c.fill(12, 4, 14, 5, WHITE)       # a gleam
    c.disc(16, 8, 2, WHITE)
    c.disc(16, 8, 1, BLACK)
    return c.grid


def network_drive():
    c = Canvas()
    c.box(2, 4, 29, 8, WHITE)
    c.box(2, 8, 29, 16, GREY)
    c.fill(22, 11, 24, 12, LIME)
    c.fill(15, 17, 16, 24, BLACK)     # cable to the network
    c.fill(3, 25, 28, 26, BLACK)
    for x in (5, 26):
        c.fill(x - 1, 27, x + 1, 29, GREEN)
    return c.grid


def ram_disk():
    c = Canvas()
    c.box(2, 10, 29, 20, GREEN)       # memory module
    for x in range(5, 27, 6):
        c.box(x, 12, x + 3, 17, BLACK, DARK_GREY)  # chips
    for x in range(3, 29, 2):
        c.fill(x, 21, x, 23, YELLOW)  # contacts
    return c.grid


def unknown_drive():
    c = Canvas()
    drive_body(c, light=GREY)
    # A question mark over the drive.
    c.fill(12, 1, 19, 2, RED)
    c.fill(18, 3, 20, 6, RED)
    c.fill(11, 3, 13, 4, RED)
    c.fill(15, 7, 19, 8, RED)
    c.fill(15, 9, 17, 10, RED)
    c.fill(15, 13, 17, 14, MAROON)
    return c.grid


def folder(open_):
    c = Canvas()
    c.box(2, 6, 12, 9, YELLOW, OLIVE)  # tab
    if not open_:
        c.box(2, 8, 28, 27, YELLOW, OLIVE)
        c.fill(3, 12, 27, 12, WHITE)  # highlight along the top edge
        return c.grid
    c.box(2, 8, 24, 27, YELLOW, OLIVE)  # back panel
    c.fill(5, 10, 21, 16, WHITE)        # paper inside
    # The front flap tilts forward: a parallelogram leaning to the right.
    for y in range(14, 28):
        left = 8 - (y - 14) * 6 // 13
        right = left + 22
        c.fill(left, y, right, y, YELLOW)
        c.grid[y][left] = OLIVE
        c.grid[y][right] = OLIVE
    c.fill(8, 14, 30, 14, OLIVE)
    c.fill(2, 27, 24, 27, OLIVE)
    return c.grid


# Resource number, file name, picture.
ICONS = [
    (114, "hard_disk", hard_disk),
    (115, "floppy_disk", floppy_disk),
    (116, "compact_disc", compact_disc),
    (117, "network_drive", network_drive),
    (118, "ram_disk", ram_disk),
    (119, "unknown_drive", unknown_drive),
    (120, "folder_closed", lambda: folder(False)),
    (121, "folder_open", lambda: folder(True)),
]


def main():
    args = sys.argv[1:]
    if "--preview" in args:
        for number, name, draw in ICONS:
            print(f"{number} {name}")
            for row in draw():
                print("".join("." if c is CLEAR else "0123456789ABCDEF"[c] for c in row))
        return
    resources = Path(__file__).resolve().parent.parent / "src/backends/win32/resources"
    target = Path(args[0]) if args else resources
    for number, name, draw in ICONS:
        path = target / f"icon_{number}_{name}.ico"
        path.write_bytes(ico_bytes(draw()))
        print(f"wrote {path}")


if __name__ == "__main__":
    main()
