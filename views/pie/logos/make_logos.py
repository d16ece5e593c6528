#!/usr/bin/env python3
"""Draws the seven 30 x 30 logo images of the pie's special-file slices.

Each logo is a list of shapes painted in order on white and anti-aliased by
sampling every pixel 5 x 5 times. Run it from anywhere; it rewrites
logo0.png .. logo6.png beside itself. Only the standard library is used.

Roles (indexes used by the pie): 0 system file (a four-colour gear),
1 compressed (a zipped folder), 3 read-only (a red prohibition sign),
5 temporary (an outlined empty folder). 2, 4 and 6 complete the set
(a page, a padlock, a clock) and are not drawn by the pie today.
"""
import math
import os
import struct
import zlib

SIZE = 30
SAMPLES = 5
WHITE = (255, 255, 255)


# --- shapes: functions (x, y) -> bool, in pixel units (0..30) -------------

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def polygon(points):
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y):
                xc = xa + (y - ya) * (xb - xa) / (yb - ya)
                if x < xc:
                    result = not result
        return result
    return inside


def segment(xa, ya, xb, yb, width):
    def inside(x, y):
        dx, dy = xb - xa, yb - ya
        t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / (dx * dx + dy * dy)))
        px, py = xa + t * dx, ya + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
    return inside


def outline(points, width):
    parts = [segment(*points[i], *points[(i + 1) % len(points)], width)
             for i in range(len(points))]
    return lambda x, y: any(p(x, y) for p in parts)


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def sector(cx, cy, a0, a1):
    """Points whose angle about (cx, cy) lies in [a0, a1) degrees."""
    def inside(x, y):
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return a0 <= a < a1
    return inside


# --- the logos -------------------------------------------------------------

FOLDER = [(3, 8), (11, 8), (13, 10.5), (27, 10.5), (27, 25), (3, 25)]


def gear_logo():
    teeth = []
    for k in range(8):
        a = math.radians(k * 45)
        cx, cy = 15 + 11 * math.cos(a), 15 + 11 * math.sin(a)
        teeth.append(circle(cx, cy, 3.0))
    body = lambda x, y: circle(15, 15, 10)(x, y) or any(t(x, y) for t in teeth)
    gear = minus(body, circle(15, 15, 4))
    colours = [(220, 60, 40), (60, 160, 60), (40, 110, 210), (240, 190, 30)]
    shapes = [(both(gear, sector(15, 15, 90 * q, 90 * q + 90)), colours[q]) for q in range(4)]
    shapes.append((ring(15, 15, 4.6, 4.0), (70, 70, 70)))
    return shapes


def zipped_folder_logo():
    shapes = [
        (polygon(FOLDER), (236, 190, 70)),
        (outline(FOLDER, 1.2), (150, 110, 30)),
        (rect(13, 10.5, 17, 25), (90, 90, 90)),
    ]
    for k in range(7):
        y = 11.5 + 2 * k
        side = 13 if k % 2 == 0 else 15
        shapes.append((rect(side, y, side + 2, y + 1), (230, 230, 230)))
    shapes.append((rect(13.5, 18, 16.5, 22), (200, 200, 200)))
    shapes.append((outline([(13.5, 18), (16.5, 18), (16.5, 22), (13.5, 22)], 0.8), (60, 60, 60)))
    return shapes


def page_logo():
    page = [(7, 3), (19, 3), (24, 8), (24, 27), (7, 27)]
    shapes = [(polygon(page), (250, 250, 250)), (outline(page, 1.2), (90, 90, 110))]
    shapes.append((polygon([(19, 3), (19, 8), (24, 8)]), (200, 200, 215)))
    for y in (12, 15, 18, 21):
        shapes.append((segment(10, y, 21, y, 1.2), (120, 130, 160)))
    return shapes


def prohibition_logo():
    red = (215, 30, 30)
    d = 10.5 / math.sqrt(2)
    return [
        (circle(15, 15, 12.5), (255, 255, 255)),
        (ring(15, 15, 13, 10), red),
        (both(segment(15 - d, 15 - d, 15 + d, 15 + d, 3.2), circle(15, 15, 11)), red),
    ]


def padlock_logo():
    return [
        (ring(15, 11, 7, 4.6), (120, 120, 130)),
        (rect(6, 13, 24, 27), (200, 160, 40)),
        (outline([(6, 13), (24, 13), (24, 27), (6, 27)], 1.0), (120, 90, 20)),
        (circle(15, 19, 2), (60, 50, 20)),
        (rect(14.2, 19, 15.8, 24), (60, 50, 20)),
    ]


def empty_folder_logo():
    return [(outline(FOLDER, 1.6), (200, 150, 40)), (segment(3, 13.5, 27, 13.5, 1.2), (200, 150, 40))]


def clock_logo():
    return [
        (circle(15, 15, 12), (245, 245, 250)),
        (ring(15, 15, 12.5, 10.8), (50, 90, 160)),
        (segment(15, 15, 15, 7, 1.6), (40, 40, 40)),
        (segment(15, 15, 20.5, 18, 1.6), (40, 40, 40)),
        (circle(15, 15, 1.4), (200, 40, 40)),
    ]


LOGOS = [gear_logo, zipped_folder_logo, page_logo, prohibition_logo, padlock_logo,
         empty_folder_logo, clock_logo]


# --- rendering and PNG output ---------------------------------------------

def render(shapes):
    rows = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    y = py + (sy + 0.5) / SAMPLES
                    colour = WHITE
                    for shape, c in shapes:
                        if shape(x, y):
                            colour = c
                    for k in range(3):
                        acc[k] += colour[k]
            n = SAMPLES * SAMPLES
            row.append(tuple(round(a / n) for a in acc))
        rows.append(row)
    return rows


def write_png(path, rows):
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for index, make in enumerate(LOGOS):
        write_png(os.path.join(here, "logo%d.png" % index), render(make()))


if __name__ == "__main__":
    main()
