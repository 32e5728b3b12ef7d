#!/usr/bin/env python3
"""Draws the tray/app icon (a small speed dial) and writes sentel.ico.

Standard library only. Each size is rendered with supersampling and
stored as a 32-bit BGRA DIB plus a 1-bit AND mask.
"""

import math
import os
import struct

SS = 8  # subsamples per pixel edge

BEZEL = (0x26, 0x60, 0x9A)
FACE = (0xF4, 0xF7, 0xFA)
NEEDLE = (0x1C, 0x24, 0x30)
HUB = (0x1C, 0x24, 0x30)
BAND = [(0x2E, 0xA0, 0x43), (0xF2, 0xB1, 0x1B), (0xE0, 0x3C, 0x2A)]

# Per-size layout, in pixels. Small sizes get bolder, simpler parts.
LAYOUT = {
    16: dict(r_out=7.6, r_face=5.9, band=(3.9, 5.9), needle_len=5.6,
             needle_w=1.9, hub=1.7, ticks=False),
    32: dict(r_out=15.4, r_face=12.6, band=(9.6, 12.6), needle_len=11.6,
             needle_w=3.2, hub=2.6, ticks=True),
}

# Dial sweep: 225 deg (lower left) clockwise to -45 deg (lower right).
ARC_START, ARC_END = 225.0, -45.0
NEEDLE_DEG = 50.0  # reading: upper right, "running fast"


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return math.hypot(qx, qy), t


def sample(size, L, x, y):
    """Colour at a point (y grows downwards), or None if outside."""
    c = size / 2.0
    dx, dy = x - c, c - y
    r = math.hypot(dx, dy)
    if r > L["r_out"]:
        return None

    # Needle: tapered stroke from hub to tip, with a short tail.
    a = math.radians(NEEDLE_DEG)
    ux, uy = math.cos(a), math.sin(a)
    tip = (ux * L["needle_len"], uy * L["needle_len"])
    tail = (-ux * L["hub"] * 0.9, -uy * L["hub"] * 0.9)
    d, t = seg_dist(dx, dy, tail[0], tail[1], tip[0], tip[1])
    if d <= L["needle_w"] / 2 * (1.0 - 0.75 * t):
        return NEEDLE
    if r <= L["hub"]:
        return HUB

    if r > L["r_face"]:
        return BEZEL

    ang = math.degrees(math.atan2(dy, dx))
    # Map angle to position 0..1 along the sweep (clockwise).
    pos = (ARC_START - ang) % 360.0 / (ARC_START - ARC_END)
    lo, hi = L["band"]
    if lo <= r <= hi and pos <= 1.0:
        if L["ticks"]:
            # Thin face-coloured gaps split the band into segments.
            seg = pos * 9
            if abs(seg - round(seg)) * (ARC_START - ARC_END) / 9 \
                    * math.radians(1) * r < 0.3 and 0 < round(seg) < 9:
                return FACE
        return BAND[min(2, int(pos * 3))]
    return FACE


def render(size):
    L = LAYOUT[size]
    px = []
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sj in range(SS):
                for si in range(SS):
                    col = sample(size, L, i + (si + 0.5) / SS,
                                 j + (sj + 0.5) / SS)
                    if col is not None:
                        acc[0] += col[0]
                        acc[1] += col[1]
                        acc[2] += col[2]
                        acc[3] += 1
            n = acc[3]
            if n == 0:
                row.append((0, 0, 0, 0))
            else:
                a = round(255 * n / (SS * SS))
                row.append((round(acc[0] / n), round(acc[1] / n),
                            round(acc[2] / n), a))
        px.append(row)
    return px


def dib(size, px):
    hdr = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                      0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(px):  # bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        line = bytearray(stride)
        for i, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[i >> 3] |= 0x80 >> (i & 7)
        mask += line
    return hdr + bytes(xor) + bytes(mask)


def write_ico(path, sizes):
    images = [(s, dib(s, render(s))) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in images:
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_ico(os.path.join(here, "sentel.ico"), [16, 32])
