#!/usr/bin/env python3
"""Draws the program icon, a CRT monitor showing a waveform, as PNG files.

Run from this folder: python3 draw_monitor_icon.py
Writes monitor_16.png, monitor_32.png, monitor_48.png and monitor_64.png.
Only the standard library is used: shapes are sampled 8 x 8 times per
pixel on a 64-unit canvas and written as RGBA PNG.
"""
import math
import struct
import zlib

CANVAS = 64.0
SAMPLES = 8


def rounded_rect(x0, y0, x1, y1, radius):
    def inside(x, y):
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return x0 <= x <= x1 and y0 <= y <= y1 and (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    return inside


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


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


def polyline(points, width):
    def near(x, y):
        for (ax, ay), (bx, by) in zip(points, points[1:]):
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
            if math.hypot(x - (ax + t * dx), y - (ay + t * dy)) <= width / 2:
                return True
        return False
    return near


def screen_colour(x, y):
    # Dark phosphor green, lighter towards the top left like curved glass.
    shade = max(0.0, min(1.0, ((x - 12) + (y - 11)) / 60.0))
    return (int(40 - 20 * shade), int(120 - 60 * shade), int(90 - 45 * shade), 255)


wave = [(14 + i * 0.5, 26 - 8 * math.sin((i * 0.5) / 36.0 * 2 * math.pi * 1.5)) for i in range(73)]

# Back to front: (shape, colour or colour function).
SHAPES = [
    (rounded_rect(2, 2, 62, 50, 7), (70, 70, 66, 255)),               # case outline
    (rounded_rect(3.5, 3.5, 60.5, 48.5, 6), (214, 210, 196, 255)),    # beige case
    (rounded_rect(8, 7, 56, 43, 6), (58, 60, 64, 255)),               # bezel
    (rounded_rect(11, 10, 53, 40, 7), screen_colour),                 # glass
    (polyline(wave, 2.6), (150, 255, 170, 255)),                      # trace
    (ellipse(22, 16, 9, 4), (255, 255, 255, 60)),                     # reflection
    (ellipse(54, 46, 1.6, 1.6), (40, 200, 60, 255)),                  # power lamp
    (polygon([(25, 50), (39, 50), (42, 55), (22, 55)]), (120, 118, 110, 255)),   # neck
    (rounded_rect(13, 54, 51, 61, 3), (70, 70, 66, 255)),             # foot outline
    (rounded_rect(14.5, 55.5, 49.5, 59.5, 2), (190, 186, 172, 255)),  # foot
]


def over(dst, src):
    sa = src[3] / 255.0
    da = dst[3] / 255.0
    out_a = sa + da * (1 - sa)
    if out_a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    rgb = [(src[i] * sa + dst[i] * da * (1 - sa)) / out_a for i in range(3)]
    return (rgb[0], rgb[1], rgb[2], out_a * 255.0)


def render(size):
    rows = []
    scale = CANVAS / size
    for py in range(size):
        row = bytearray([0])  # PNG filter: none
        for px in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    colour = (0.0, 0.0, 0.0, 0.0)
                    for inside, paint in SHAPES:
                        if inside(x, y):
                            colour = over(colour, paint(x, y) if callable(paint) else paint)
                    alpha = colour[3]
                    total[0] += colour[0] * alpha
                    total[1] += colour[1] * alpha
                    total[2] += colour[2] * alpha
                    total[3] += alpha
            count = SAMPLES * SAMPLES
            alpha = total[3] / count
            if alpha > 0:
                rgb = [int(round(total[i] / total[3])) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row += bytes(rgb + [int(round(alpha))])
        rows.append(bytes(row))
    return b"".join(rows)


def write_png(path, size, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(pixels, 9)))
        out.write(chunk(b"IEND", b""))


if __name__ == "__main__":
    for size in (16, 32, 48, 64):
        write_png("monitor_%d.png" % size, size, render(size))
