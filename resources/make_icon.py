#!/usr/bin/env python3
"""Draws Tolvane's icon (a clock face over a copy arrow) as PNG files.

Pure Python, no imaging library: each pixel is supersampled against a few
simple shapes. Run it from this folder to regenerate icons/tolvane-<n>.png
and the Windows icon windows/tolvane.ico, which holds the same PNG images.
"""
import math
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
SAMPLES = 4


def rounded_square(x, y):
    # Unit coordinates 0..1; corner radius 0.2.
    r = 0.2
    dx = max(abs(x - 0.5) - (0.5 - r - 0.03), 0)
    dy = max(abs(y - 0.5) - (0.5 - r - 0.03), 0)
    return math.hypot(dx, dy) <= r


def segment_distance(px, py, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(px - (ax + t * vx), py - (ay + t * vy))


def arrow(x, y):
    # A short shaft with a head pointing down-right, the copy going out.
    if segment_distance(x, y, 0.60, 0.60, 0.80, 0.80) <= 0.05:
        return True
    # Head: triangle with its tip at (0.88, 0.88).
    ax, ay, bx, by, cx, cy = 0.88, 0.88, 0.64, 0.86, 0.86, 0.64
    d1 = (x - bx) * (ay - by) - (ax - bx) * (y - by)
    d2 = (x - cx) * (by - cy) - (bx - cx) * (y - cy)
    d3 = (x - ax) * (cy - ay) - (cx - ax) * (y - ay)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def colour_at(x, y):
    """RGBA of the topmost shape at (x, y), or None for transparency."""
    cx, cy, radius = 0.44, 0.44, 0.30
    d = math.hypot(x - cx, y - cy)
    if arrow(x, y):
        return (255, 178, 40, 255)
    if radius - 0.06 <= d <= radius:
        return (250, 250, 245, 255)
    if segment_distance(x, y, cx, cy, cx, cy - 0.19) <= 0.035:
        return (250, 250, 245, 255)
    if segment_distance(x, y, cx, cy, cx + 0.13, cy + 0.06) <= 0.035:
        return (250, 250, 245, 255)
    if d < radius - 0.06:
        return (34, 96, 150, 255)
    if rounded_square(x, y):
        shade = 1.0 - 0.35 * y
        return (int(30 * shade), int(120 * shade), int(180 * shade), 255)
    return None


def render(size):
    rows = []
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) / size,
                                  (py + (sy + 0.5) / SAMPLES) / size)
                    if c:
                        for i in range(3):
                            acc[i] += c[i] * c[3]
                        acc[3] += c[3]
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if acc[3]:
                row += bytes(int(acc[i] / acc[3]) for i in range(3))
            else:
                row += b"\0\0\0"
            row.append(int(round(alpha)))
        rows.append(bytes(row))
    return b"".join(rows)


def png(size, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b""))


def ico(images):
    """An icon file of PNG-compressed entries, one per (size, png bytes)."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, data = b"", b""
    for size, image in images:
        # A width or height of 0 stands for 256.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                               len(image), offset + len(data))
        data += image
    return header + entries + data


if __name__ == "__main__":
    images = []
    for s in SIZES:
        images.append((s, png(s, render(s))))
        with open(f"icons/tolvane-{s}.png", "wb") as f:
            f.write(images[-1][1])
    with open("windows/tolvane.ico", "wb") as f:
        f.write(ico(images))
