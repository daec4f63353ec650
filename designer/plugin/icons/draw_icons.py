#!/usr/bin/env python3
"""Draws the Qt Designer widget-box icons (32 x 32 PNG) of the Kestrova components.

Each icon is a list of filled shapes painted in order; a pixel's colour is the average of 4 x 4
samples, so edges come out smooth. Run it in this folder to rewrite the PNGs."""

import math
import struct
import zlib

SIZE = 32
SUB = 4


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def line(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2

    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i, (xi, yi) in enumerate(points):
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result

    return inside


def polyline(points, w):
    parts = [line(*points[i], *points[i + 1], w) for i in range(len(points) - 1)]
    return lambda x, y: any(p(x, y) for p in parts)


def render(shapes):
    rows = []
    for py in range(SIZE):
        row = bytearray([0])  # PNG filter: none
        for px in range(SIZE):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUB):
                for sx in range(SUB):
                    x, y = px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB
                    colour = None
                    for shape, rgb in shapes:
                        if shape(x, y):
                            colour = rgb
                    if colour:
                        for k in range(3):
                            acc[k] += colour[k]
                        acc[3] += 255
            n = SUB * SUB
            alpha = acc[3] / n
            if alpha:
                row += bytes(int(acc[k] / (acc[3] / 255)) for k in range(3))
            else:
                row += b"\0\0\0"
            row.append(int(round(alpha)))
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", zlib.compress(pixels, 9)))
        f.write(chunk(b"IEND", b""))


DARK = (40, 40, 48)
WHITE = (255, 255, 255)
BLUE = (40, 96, 200)
GREEN = (40, 150, 70)
RED = (200, 50, 40)
ORANGE = (230, 140, 30)
GREY = (150, 150, 160)
YELLOW = (250, 215, 70)


def connector(body):
    # A nine-pin serial plug seen from the front.
    shapes = [(polygon([(2, 8), (30, 8), (26, 24), (6, 24)]), DARK),
              (polygon([(4, 10), (28, 10), (24.5, 22), (7.5, 22)]), body)]
    for i in range(5):
        shapes.append((circle(8 + i * 4, 13.5, 1.5), WHITE))
    for i in range(4):
        shapes.append((circle(10 + i * 4, 18.5, 1.5), WHITE))
    return shapes


def comthread():
    return connector(BLUE)


def advancedcom():
    # The plug with two control lines (DTR, RTS) above it.
    return connector(GREEN) + [(line(6, 4, 13, 4, 2.2), RED), (line(19, 4, 26, 4, 2.2), ORANGE),
                               (line(9.5, 4, 9.5, 8, 1.6), RED), (line(22.5, 4, 22.5, 8, 1.6), ORANGE)]


def vtxtimer():
    return [(circle(16, 17, 13), DARK), (circle(16, 17, 11), WHITE),
            (rect(13, 1, 19, 4), DARK),
            (line(16, 17, 16, 9, 2.4), DARK), (line(16, 17, 22, 17, 2), RED),
            (circle(16, 17, 1.8), RED)]


def editimp():
    # An edit box over a page, with the text cursor.
    return [(polygon([(6, 2), (22, 2), (28, 8), (28, 30), (6, 30)]), GREY),
            (polygon([(7, 3), (21.5, 3), (27, 8.5), (27, 29), (7, 29)]), WHITE),
            (rect(1, 11, 31, 21), DARK), (rect(2.5, 12.5, 29.5, 19.5), WHITE),
            (line(5, 16, 14, 16, 2), BLUE), (line(17, 13.5, 17, 18.5, 1.4), DARK)]


def dbgrid():
    shapes = [(rect(2, 4, 30, 28), DARK), (rect(3.5, 5.5, 28.5, 26.5), WHITE),
              (rect(3.5, 5.5, 28.5, 10), BLUE), (rect(3.5, 15, 28.5, 18.5), YELLOW)]
    for y in (10, 14.5, 18.5, 22.5):
        shapes.append((line(3, y, 29, y, 1), DARK))
    for x in (11, 20):
        shapes.append((line(x, 5, x, 27, 1), DARK))
    return shapes


def somatocarta():
    # The rounded triangle (three arcs) with two points.
    side = 24.0
    p1, p2, p3 = (16, 4), (4, 4 + side * math.sqrt(3) / 2), (28, 4 + side * math.sqrt(3) / 2)

    def rounded(x, y):
        return all((x - cx) ** 2 + (y - cy) ** 2 <= side * side for cx, cy in (p1, p2, p3))

    def rounded_inner(x, y):
        return all((x - cx) ** 2 + (y - cy) ** 2 <= (side - 1.8) ** 2 for cx, cy in (p1, p2, p3))

    return [(rounded, RED), (rounded_inner, WHITE), (line(16, 6, 16, 25, 1), GREY),
            (circle(13, 18, 2.4), BLUE), (circle(20, 14, 2.4), GREEN)]


def customversao():
    # A label tag with "1.0" written as bars and a dot.
    return [(polygon([(1, 10), (24, 10), (31, 16), (24, 22), (1, 22)]), DARK),
            (polygon([(2.5, 11.5), (23.5, 11.5), (29, 16), (23.5, 20.5), (2.5, 20.5)]), YELLOW),
            (line(7, 13.5, 7, 18.5, 1.8), DARK), (line(5.5, 14.5, 7, 13.5, 1.5), DARK),
            (circle(11, 18.3, 1.1), DARK), (ring(16.5, 16, 2.8, 1.6), DARK),
            (circle(25, 16, 1.4), WHITE)]


def vtxgraph():
    return [(rect(1, 1, 31, 31), GREY), (rect(2, 2, 30, 30), WHITE),
            (line(6, 4, 6, 27, 1.8), DARK), (line(5, 26, 29, 26, 1.8), DARK),
            (polyline([(7, 22), (12, 16), (17, 19), (22, 9), (28, 12)], 2.2), RED),
            (polyline([(7, 24), (14, 21), (21, 21), (28, 17)], 1.8), BLUE)]


ICONS = {"comthread": comthread, "advancedcom": advancedcom, "vtxtimer": vtxtimer,
         "editimp": editimp, "dbgridkpr": dbgrid, "somatocarta": somatocarta,
         "customversao": customversao, "vtxgraph": vtxgraph}

if __name__ == "__main__":
    for name, draw in ICONS.items():
        write_png(name + ".png", render(draw()))
