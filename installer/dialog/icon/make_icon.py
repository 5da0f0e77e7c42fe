#!/usr/bin/env python3
"""Draws the installer's icon, a small keyboard, in 32x32 and 16x16 pixels
with the 16-colour palette, and writes each as an XPM file beside this script.

Run it again after changing the drawing; the XPM files are committed."""

import os

# The 16 colours of the standard palette; '.' is transparent.
PALETTE = {
    ".": "None",
    "k": "#000000", "r": "#800000", "g": "#008000", "y": "#808000",
    "n": "#000080", "m": "#800080", "c": "#008080", "s": "#C0C0C0",
    "d": "#808080", "R": "#FF0000", "G": "#00FF00", "Y": "#FFFF00",
    "B": "#0000FF", "M": "#FF00FF", "C": "#00FFFF", "w": "#FFFFFF",
}


class Canvas:
    def __init__(self, size):
        self.size = size
        self.rows = [["."] * size for _ in range(size)]

    def dot(self, x, y, c):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.rows[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c)
            self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c)
            self.dot(x1, y, c)


def keyboard(size):
    """A keyboard seen from above, with its cable, scaled to `size`."""
    c = Canvas(size)
    big = size >= 32
    top, bottom = (9, 26) if big else (5, 13)
    left, right = 0, size - 1
    # Cable from the back edge.
    mid = size // 2
    for y in range(1 if big else 0, top):
        c.dot(mid, y, "k")
    c.fill(mid, 1 if big else 0, mid + (6 if big else 3), 1 if big else 0, "k")
    # Body with light top edge and dark shadow.
    c.fill(left, top, right, bottom, "s")
    c.frame(left, top, right, bottom, "k")
    c.fill(left + 1, top + 1, right - 1, top + 1, "w")
    c.fill(left + 1, bottom - 1, right - 1, bottom - 1, "d")
    if big:
        # Four rows of 2x2 keys with a shadow, a blue Enter and a space bar.
        for row, (y, x0, count) in enumerate([(12, 3, 9), (15, 4, 8), (18, 3, 9)]):
            for i in range(count):
                x = x0 + i * 3
                c.fill(x, y, x + 1, y + 1, "w")
                c.dot(x + 2, y + 1, "d")
                c.fill(x + 1, y + 2, x + 2, y + 2, "d")
        c.fill(27, 15, 28, 19, "B")
        c.fill(29, 16, 29, 20, "n")
        c.fill(8, 22, 22, 23, "w")
        c.fill(9, 24, 23, 24, "d")
        c.fill(3, 22, 5, 23, "w")
        c.fill(25, 22, 27, 23, "w")
    else:
        for y, x0, count in [(7, 2, 6), (9, 3, 5)]:
            for i in range(count):
                c.dot(x0 + i * 2, y, "w")
                c.dot(x0 + i * 2, y + 1, "d")
        c.fill(13, 8, 13, 10, "B")
        c.fill(4, 11, 11, 11, "w")
    return c


def write_xpm(canvas, name):
    used = sorted({p for row in canvas.rows for p in row})
    lines = [f'"{canvas.size} {canvas.size} {len(used)} 1",']
    lines += [f'"{p} c {PALETTE[p]}",' for p in used]
    lines += [f'"{"".join(row)}",' for row in canvas.rows]
    lines[-1] = lines[-1].rstrip(",")
    text = "/* XPM */\n/* Made by make_icon.py. */\n"
    text += f"static const char* const {name}[] = {{\n" + "\n".join(lines) + "\n};\n"
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), name + ".xpm")
    with open(path, "w") as out:
        out.write(text)


if __name__ == "__main__":
    write_xpm(keyboard(32), "keyboard_32")
    write_xpm(keyboard(16), "keyboard_16")
