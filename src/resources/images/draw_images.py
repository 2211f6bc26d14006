#!/usr/bin/env python3
"""Draws the diagram's bitmaps, the drag cursor and the sorting page's move-button glyphs as
PNG files (1x and @2x).

Run from anywhere: python3 draw_images.py. Only the standard library is used, so the
pictures can be redrawn on any machine; the PNGs are committed next to this script.
Shapes are given in logical pixels and rasterised with 4x4 supersampling per output pixel.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # supersampling per axis


def write_png(path, width, height, rgba):
    raw = b"".join(b"\x00" + bytes(rgba[y * width * 4:(y + 1) * width * 4]) for y in range(height))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


class Canvas:
    """A logical-size canvas; shapes are painted in order, later over earlier."""

    def __init__(self, size):
        self.size = size
        self.shapes = []

    def rect(self, x0, y0, x1, y1, color):  # half-open logical rectangle
        self.shapes.append((lambda x, y: x0 <= x < x1 and y0 <= y < y1, color))

    def frame(self, x0, y0, x1, y1, tl, br):  # 1-logical-pixel 3D frame
        self.rect(x0, y0, x1, y0 + 1, tl)
        self.rect(x0, y0, x0 + 1, y1, tl)
        self.rect(x0, y1 - 1, x1, y1, br)
        self.rect(x1 - 1, y0, x1, y1, br)

    def polygon(self, pts, color):
        def inside(x, y):
            c = False
            n = len(pts)
            for i in range(n):
                (xa, ya), (xb, yb) = pts[i], pts[(i + 1) % n]
                if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                    c = not c
            return c
        self.shapes.append((inside, color))

    def circle(self, cx, cy, r, color):
        self.shapes.append((lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color))

    def line(self, xa, ya, xb, yb, width, color):
        def near(x, y):
            dx, dy = xb - xa, yb - ya
            t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / float(dx * dx + dy * dy)))
            px, py = xa + t * dx, ya + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= (width / 2.0) ** 2
        self.shapes.append((near, color))

    def render(self, scale):
        n = self.size * scale
        out = []
        for py in range(n):
            for px in range(n):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(SS):
                    for sx in range(SS):
                        x = (px + (sx + 0.5) / SS) / scale
                        y = (py + (sy + 0.5) / SS) / scale
                        col = (0, 0, 0, 0)
                        for test, color in self.shapes:
                            if test(x, y):
                                col = color
                        a = col[3] / 255.0
                        acc[0] += col[0] * a
                        acc[1] += col[1] * a
                        acc[2] += col[2] * a
                        acc[3] += a
                a = acc[3] / (SS * SS)
                if acc[3] > 0:
                    out += [round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]), round(a * 255)]
                else:
                    out += [0, 0, 0, 0]
        return n, out


WHITE = (255, 255, 255, 255)
BLACK = (0, 0, 0, 255)
GREY = (128, 128, 128, 255)
SILVER = (192, 192, 192, 255)
DARK = (64, 64, 64, 255)
BLUE = (0, 64, 200, 255)
LIGHTBLUE = (110, 160, 255, 255)
MAGENTA = (200, 0, 200, 255)
SHADOW = (90, 90, 90, 160)
INK = (32, 32, 32, 255)


def caption_buttons():
    down = Canvas(12)   # collapse / expand: a downward triangle
    down.polygon([(2, 4), (10, 4), (6, 9)], INK)
    bar = Canvas(12)    # clear links: a horizontal bar
    bar.rect(2, 5, 10, 7.5, INK)
    cross = Canvas(12)  # close: an X
    cross.line(3, 3, 9, 9, 1.8, INK)
    cross.line(9, 3, 3, 9, 1.8, INK)
    return {"BTN1": down, "BTN2": bar, "BTN3": cross}


def sunken_box(size, inner):
    c = Canvas(size)
    c.rect(0, 0, size, size, inner)
    c.frame(0, 0, size, size, GREY, WHITE)
    c.frame(1, 1, size - 1, size - 1, DARK, SILVER)
    return c


def tick(c, color):
    c.line(3, 6, 5, 8.5, 1.6, color)
    c.line(5, 8.5, 9.2, 3.5, 1.6, color)


def caption_boxes():
    none = sunken_box(12, WHITE)
    some = sunken_box(12, SILVER)
    tick(some, GREY)
    full = sunken_box(12, WHITE)
    tick(full, BLACK)
    return {"BOX1": none, "BOX2": some, "BOX3": full}


def line_bitmaps():
    def cell():
        c = Canvas(16)
        c.rect(2, 2, 14, 14, WHITE)
        c.frame(2, 2, 14, 14, GREY, WHITE)
        c.frame(3, 3, 13, 13, DARK, SILVER)
        return c
    unchecked = cell()
    checked = cell()
    checked.circle(8, 8, 3.3, BLUE)
    checked.circle(7.2, 7.2, 1.2, LIGHTBLUE)
    arrow = [(3, 5.5), (8, 5.5), (8, 3), (13, 8), (8, 13), (8, 10.5), (3, 10.5)]
    hollow = Canvas(16)
    hollow.polygon(arrow, INK)
    hollow.polygon([(4.2, 6.7), (9.2, 6.7), (9.2, 5.9), (11.3, 8), (9.2, 10.1), (9.2, 9.3), (4.2, 9.3)], (0, 0, 0, 0))
    filled = Canvas(16)
    filled.polygon([(x + 1.2, y + 1.2) for x, y in arrow], SHADOW)
    filled.polygon(arrow, MAGENTA)
    return {"UNCHECKBMP": unchecked, "CHECKBMP": checked, "INPUTNULL": hollow, "INPUTPARAM": filled}


def tree_bitmaps():
    table = Canvas(16)  # a small grid with a header row
    table.rect(1, 2, 15, 14, WHITE)
    table.rect(1, 2, 15, 5, (40, 90, 170, 255))
    for y in (8, 11):
        table.rect(1, y, 15, y + 1, GREY)
    table.rect(6, 5, 7, 14, GREY)
    table.frame(1, 2, 15, 14, DARK, DARK)
    field = Canvas(16)  # one row of a table
    field.rect(1, 5, 15, 11, WHITE)
    field.rect(2, 6, 9, 10, (40, 90, 170, 255))
    field.frame(1, 5, 15, 11, DARK, DARK)
    return {"TABLEBMP": table, "FIELDBMP": field}


def drag_cursor():
    c = Canvas(32)      # an arrow pointer carrying a field line
    c.polygon([(1, 1), (1, 17), (5, 13), (8, 20), (10.5, 19), (7.5, 12.5), (13, 12.5)], WHITE)
    c.polygon([(2, 3.3), (2, 14.8), (5.2, 11.6), (8.5, 18.6), (9.2, 18.3), (6, 11.4), (10.6, 11.4)], BLACK)
    c.rect(12, 18, 30, 27, WHITE)
    c.frame(12, 18, 30, 27, BLACK, BLACK)
    c.rect(14, 21, 26, 24, BLUE)
    return {"DragCursor": c}


def move_buttons():
    """Arrows of the sorting page's buttons: one or all candidates to the sort list (right),
    one or all sort entries back (left)."""
    def arrows(count, right):
        c = Canvas(16)
        width = 5 if count == 1 else 4.5
        start = 8 - width * count / 2.0
        for i in range(count):
            x0 = start + i * width
            x1 = x0 + width
            if right:
                c.polygon([(x0, 3.5), (x1, 8), (x0, 12.5)], INK)
            else:
                c.polygon([(x1, 3.5), (x0, 8), (x1, 12.5)], INK)
        return c
    return {"ADD": arrows(1, True), "ADD_ALL": arrows(2, True),
            "REMOVE": arrows(1, False), "REMOVE_ALL": arrows(2, False)}


def main():
    pictures = {}
    for group in (caption_buttons(), caption_boxes(), line_bitmaps(), tree_bitmaps(), drag_cursor(),
                  move_buttons()):
        pictures.update(group)
    for name, canvas in pictures.items():
        for scale, suffix in ((1, ""), (2, "@2x")):
            n, data = canvas.render(scale)
            write_png(os.path.join(HERE, name + suffix + ".png"), n, n, data)


if __name__ == "__main__":
    main()
