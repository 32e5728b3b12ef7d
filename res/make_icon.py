#!/usr/bin/env python3
"""Draws the tray/app icon (a small speed dial) and writes sentel.ico.

Standard library only. Each size is rendered with supersampling from the
one drawing below. The file holds:
  - 16, 20, 24, 32, 40, 48 and 64 px as 32-bit BGRA DIBs with a 1-bit AND
    mask (what Windows XP and later draw, with alpha, at every display scale);
  - 256 px as a 32-bit PNG (Vista and later; Explorer's large views);
  - 16, 32 and 48 px as 8-bit palette DIBs with the AND mask as their only
    transparency, for Windows 98 SE and 2000, which draw no alpha.
"""

import math
import os
import struct
import zlib

SS = 8  # subsamples per pixel edge
SS_LARGE = 4  # enough for 256 px, and four times quicker

TRUE_COLOUR_SIZES = [16, 20, 24, 32, 40, 48, 64]
PNG_SIZE = 256
PALETTE_SIZES = [16, 32, 48]

BEZEL = (0x26, 0x60, 0x9A)
FACE = (0xF4, 0xF7, 0xFA)
NEEDLE = (0x1C, 0x24, 0x30)
HUB = (0x1C, 0x24, 0x30)
BAND = [(0x2E, 0xA0, 0x43), (0xF2, 0xB1, 0x1B), (0xE0, 0x3C, 0x2A)]

# Per-size layout, in pixels. Small sizes get bolder, simpler parts.
LAYOUT = {
    16: dict(r_out=7.6, r_face=5.9, band=(3.9, 5.9), needle_len=5.6,
             needle_w=1.9, hub=1.7, ticks=False, gap=0.3),
    32: dict(r_out=15.4, r_face=12.6, band=(9.6, 12.6), needle_len=11.6,
             needle_w=3.2, hub=2.6, ticks=True, gap=0.3),
}


def layout(size):
    """The drawn layout nearest below `size`, scaled to it."""
    base = 32 if size >= 32 else 16
    k = size / base
    L = dict(LAYOUT[base])
    for key in ("r_out", "r_face", "needle_len", "needle_w", "hub", "gap"):
        L[key] = L[key] * k
    L["band"] = (L["band"][0] * k, L["band"][1] * k)
    return L

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
                    * math.radians(1) * r < L["gap"] and 0 < round(seg) < 9:
                return FACE
        return BAND[min(2, int(pos * 3))]
    return FACE


def render(size):
    L = layout(size)
    ss = SS_LARGE if size > 64 else SS
    px = []
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sj in range(ss):
                for si in range(ss):
                    col = sample(size, L, i + (si + 0.5) / ss,
                                 j + (sj + 0.5) / ss)
                    if col is not None:
                        acc[0] += col[0]
                        acc[1] += col[1]
                        acc[2] += col[2]
                        acc[3] += 1
            n = acc[3]
            if n == 0:
                row.append((0, 0, 0, 0))
            else:
                a = round(255 * n / (ss * ss))
                row.append((round(acc[0] / n), round(acc[1] / n),
                            round(acc[2] / n), a))
        px.append(row)
    return px


def and_mask(size, px, transparent):
    """1-bit mask, bottom-up, rows padded to 4 bytes: set where transparent."""
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        line = bytearray(stride)
        for i, (_, _, _, a) in enumerate(row):
            if transparent(a):
                line[i >> 3] |= 0x80 >> (i & 7)
        mask += line
    return bytes(mask)


def dib_header(size, bits, colours=0):
    # The height counts the colour image and the mask together.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                       0, 0, 0, colours, 0)


def dib32(size, px):
    xor = bytearray()
    for row in reversed(px):  # bottom-up
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    return dib_header(size, 32) + bytes(xor) + and_mask(size, px,
                                                         lambda a: a == 0)


def palette_for(images):
    """Up to 255 colours shared by the 8-bit images, most used first."""
    counts = {}
    for px in images:
        for row in px:
            for r, g, b, a in row:
                if a >= 128:
                    counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    ranked = sorted(counts, key=lambda c: -counts[c])
    return [(0, 0, 0)] + ranked[:255]  # 0: behind the mask


def dib8(size, px, palette):
    def nearest(colour):
        r, g, b = colour
        return min(range(1, len(palette)),
                   key=lambda k: (palette[k][0] - r) ** 2 +
                   (palette[k][1] - g) ** 2 + (palette[k][2] - b) ** 2)
    cache = {}
    stride = (size + 3) // 4 * 4
    xor = bytearray()
    for row in reversed(px):
        line = bytearray(stride)
        for i, (r, g, b, a) in enumerate(row):
            if a >= 128:
                if (r, g, b) not in cache:
                    cache[(r, g, b)] = nearest((r, g, b))
                line[i] = cache[(r, g, b)]
        xor += line
    table = bytearray()
    for k in range(256):
        r, g, b = palette[k] if k < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    return (dib_header(size, 8, 256) + bytes(table) + bytes(xor) +
            and_mask(size, px, lambda a: a < 128))


def png(size, px):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = bytearray()
    for row in px:  # top-down, filter 0 on every line
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def write_ico(path):
    drawn = {s: render(s) for s in
             sorted(set(TRUE_COLOUR_SIZES + PALETTE_SIZES + [PNG_SIZE]))}
    palette = palette_for([drawn[s] for s in PALETTE_SIZES])
    # (size, bits, data): true colour first, then the PNG, then the old systems'.
    images = [(s, 32, dib32(s, drawn[s])) for s in TRUE_COLOUR_SIZES]
    images.append((PNG_SIZE, 32, png(PNG_SIZE, drawn[PNG_SIZE])))
    images += [(s, 8, dib8(s, drawn[s], palette)) for s in PALETTE_SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, bits, data in images:
        # 0 stands for 256 px; bColorCount is 0 from 256 colours on.
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, bits,
                           len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_ico(os.path.join(here, "sentel.ico"))
