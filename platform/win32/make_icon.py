#!/usr/bin/env python3
"""Writes velmaro.ico: one 32x32 image with a 256-colour palette, a disc with a play arrow on it.

Run it again only to change the design; the .ico it writes is committed beside it.
"""
import math
import os
import struct

SIZE = 32


def palette():
    # Grey ramp for the disc, a blue ramp for its sheen, and a few plain colours; the rest stays black.
    colours = [(0, 0, 0)] * 256
    for i in range(64):
        v = 96 + i * 159 // 63
        colours[i] = (v, v, v)
        colours[64 + i] = (40 + i * 2, 90 + i * 2, 160 + i * 95 // 63)
    colours[200] = (255, 255, 255)
    colours[201] = (230, 150, 20)  # arrow
    colours[202] = (60, 60, 70)  # rim and hub edge
    return colours


def pixel(x, y):
    """Palette index and opacity of one pixel (origin top left)."""
    cx = cy = (SIZE - 1) / 2
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    if r > 15.5:
        return 0, False
    if r > 14.5:
        return 202, True
    # Play arrow pointing right, over the hub.
    if -5.5 <= dx <= 8 and abs(dy) <= (8 - dx) * 0.55:
        return 201, True
    if 4.5 < r <= 5.5:
        return 202, True
    if r <= 4.5:
        return (0, False) if r <= 2.5 else (200, True)
    # Sheen: brighter towards the upper left, with a blue tint in a band.
    angle = math.atan2(dy, dx)
    shade = int(31 + 30 * math.cos(angle + 2.3))
    if 8 <= r <= 11:
        return 64 + max(0, min(63, shade)), True
    return max(0, min(63, shade)), True


def build():
    colours = palette()
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        bits = 0
        for x in range(SIZE):
            index, opaque = pixel(x, y)
            xor.append(index)
            bits = (bits << 1) | (0 if opaque else 1)
        mask += struct.pack(">I", bits)  # 32 pixels: exactly one padded row
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)
    image = header + pal + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "velmaro.ico")
    with open(out, "wb") as f:
        f.write(build())
