#!/usr/bin/env python3
"""Draws Wendle's three tray icons and writes them as .ico files.

Each icon holds a 32x32 image in 16 colours and a 16x16 image in 256 colours; the
program itself only ever loads the 16x16 one, the 32x32 one is for the shell's views.

    key.ico       a lit blue lamp with red rays        (a button was just accepted)
    nodevice.ico  a pale lamp crossed out by a red X    (no receiver is open)
    ready.ico     a pale lamp with red rays             (a receiver is open)

Usage: make-icons.py OUTPUT_DIR

The pictures are computed, not stored, so they can be redrawn by changing the shapes
below; the output is byte-for-byte the same on every run.
"""

import math
import os
import struct
import sys

# --- shapes, in units of the icon's side (0..1, y downwards) ------------------------------

CENTRE = (0.5, 0.5)
LAMP_RADIUS = 0.30
RAY_INNER = 0.38
RAY_OUTER = 0.49
HIGHLIGHT = (0.42, 0.40)  # where the light on the lamp's glass is brightest


def ray_thickness(size):
    return 1.6 / size if size <= 16 else 2.6 / size


def cross_thickness(size):
    return 1.7 / size if size <= 16 else 3.6 / size


def distance_to_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    cx, cy = ax + t * dx, ay + t * dy
    return math.hypot(px - cx, py - cy)


def classify(x, y, size, lit, rays, crossed):
    """What lies at point (x, y): ('x'|'ray'|'outline'|'glass', shade 0..1) or None."""
    cx, cy = CENTRE
    if crossed:
        half = cross_thickness(size) / 2
        for (ax, ay, bx, by) in ((0.17, 0.17, 0.83, 0.83), (0.83, 0.17, 0.17, 0.83)):
            if distance_to_segment(x, y, ax, ay, bx, by) <= half:
                return ('x', 0.0)
    r = math.hypot(x - cx, y - cy)
    if r <= LAMP_RADIUS:
        outline = 1.1 / size if size <= 16 else 1.6 / size
        if r >= LAMP_RADIUS - outline:
            return ('outline', 0.0)
        hx, hy = HIGHLIGHT
        shade = min(1.0, math.hypot(x - hx, y - hy) / (LAMP_RADIUS * 1.5))
        return ('glass', shade)
    if rays:
        half = ray_thickness(size) / 2
        for k in range(8):
            a = k * math.pi / 4
            ax, ay = cx + RAY_INNER * math.cos(a), cy + RAY_INNER * math.sin(a)
            bx, by = cx + RAY_OUTER * math.cos(a), cy + RAY_OUTER * math.sin(a)
            if distance_to_segment(x, y, ax, ay, bx, by) <= half:
                return ('ray', 0.0)
    return None


def render(size, lit, rays, crossed):
    """A size x size grid of (part, shade) or None, sampled 4x4 per pixel."""
    grid = []
    n = 4
    for row in range(size):
        line = []
        for col in range(size):
            votes = {}
            shades = {}
            for sy in range(n):
                for sx in range(n):
                    x = (col + (sx + 0.5) / n) / size
                    y = (row + (sy + 0.5) / n) / size
                    hit = classify(x, y, size, lit, rays, crossed)
                    key = hit[0] if hit else None
                    votes[key] = votes.get(key, 0) + 1
                    if hit:
                        shades.setdefault(key, []).append(hit[1])
            # A pixel belongs to the most covered part; the background needs a clear
            # majority so that thin strokes stay visible at 16 pixels.
            best = max(votes, key=lambda k: (votes[k] if k else votes[k] * 0.6, k or ''))
            if best is None:
                line.append(None)
            else:
                s = shades[best]
                line.append((best, sum(s) / len(s)))
        grid.append(line)
    return grid


# --- palettes ------------------------------------------------------------------------------

VGA16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]

PALE_RAMP = [(0xFF, 0xFF, 0xFF), (0xF0, 0xF0, 0xEC), (0xE0, 0xE0, 0xDA), (0xCC, 0xCC, 0xC6),
             (0xB4, 0xB4, 0xAE)]
BLUE_RAMP = [(0xC8, 0xE4, 0xFF), (0x80, 0xB8, 0xFF), (0x40, 0x88, 0xFF), (0x10, 0x58, 0xE8),
             (0x00, 0x30, 0xB0)]
OUTLINE = (0x50, 0x50, 0x50)
RED = (0xE0, 0x10, 0x10)


def colour16(part, shade, lit):
    """Index into VGA16."""
    if part in ('x', 'ray'):
        return 9
    if part == 'outline':
        return 8
    if lit:
        return 14 if shade < 0.25 else 12
    return 15 if shade < 0.35 else 7


def palette256():
    entries = list(VGA16) + PALE_RAMP + BLUE_RAMP + [OUTLINE, RED]
    return entries + [(0, 0, 0)] * (256 - len(entries))


def colour256(part, shade, lit):
    base = len(VGA16)
    if part in ('x', 'ray'):
        return base + len(PALE_RAMP) + len(BLUE_RAMP) + 1
    if part == 'outline':
        return base + len(PALE_RAMP) + len(BLUE_RAMP)
    ramp_len = len(PALE_RAMP)
    step = min(ramp_len - 1, int(shade * ramp_len))
    return base + (len(PALE_RAMP) + step if lit else step)


# --- .ico writing --------------------------------------------------------------------------

def row_bytes(bits_per_pixel, width):
    return ((width * bits_per_pixel + 31) // 32) * 4


def dib(grid, bits, palette, pick, lit):
    size = len(grid)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    colour_rows = []
    mask_rows = []
    for row in reversed(grid):  # DIBs are stored bottom-up
        indices = [0 if px is None else pick(px[0], px[1], lit) for px in row]
        if bits == 4:
            packed = bytearray()
            for i in range(0, size, 2):
                packed.append((indices[i] << 4) | indices[i + 1])
        else:
            packed = bytearray(indices)
        packed += b'\0' * (row_bytes(bits, size) - len(packed))
        colour_rows.append(bytes(packed))
        mask = bytearray(row_bytes(1, size))
        for i, px in enumerate(row):
            if px is None:
                mask[i // 8] |= 0x80 >> (i % 8)
        mask_rows.append(bytes(mask))
    return header + pal + b''.join(colour_rows) + b''.join(mask_rows)


def icon_file(lit, rays, crossed):
    images = [
        (32, 4, dib(render(32, lit, rays, crossed), 4, VGA16, colour16, lit)),
        (16, 8, dib(render(16, lit, rays, crossed), 8, palette256(), colour256, lit)),
    ]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colours = 16 if bits == 4 else 0
        out += struct.pack('<BBBBHHII', size, size, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b''.join(data for _, _, data in images)


ICONS = {
    'key.ico': dict(lit=True, rays=True, crossed=False),
    'nodevice.ico': dict(lit=False, rays=False, crossed=True),
    'ready.ico': dict(lit=False, rays=True, crossed=False),
}


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    os.makedirs(argv[1], exist_ok=True)
    for name, shape in ICONS.items():
        data = icon_file(**shape)
        path = os.path.join(argv[1], name)
        # Rewrite only on change so that the resource script is not rebuilt for nothing.
        try:
            with open(path, 'rb') as f:
                if f.read() == data:
                    continue
        except OSError:
            pass
        with open(path, 'wb') as f:
            f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
