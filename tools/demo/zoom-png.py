#!/usr/bin/env python3
"""Cuts a rectangle out of a PNG screenshot and enlarges it, so that a tray icon of 16 x 16
pixels can be seen at a glance. Reads 8-bit RGB or RGBA PNGs (any filter), writes 8-bit RGB.

    zoom-png.py <in.png> <out.png> <x> <y> <width> <height> <scale>

Negative x or y count from the right or bottom edge.
"""
import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as source:
        data = source.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG file")
    offset, idat, header = 8, b"", None
    while offset < len(data):
        length, kind = struct.unpack(">I4s", data[offset:offset + 8])
        body = data[offset + 8:offset + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        offset += 12 + length
    width, height, depth, colour = header[:4]
    if depth != 8 or colour not in (2, 6) or header[6] != 0:
        raise SystemExit(f"{path}: only 8-bit RGB or RGBA without interlacing")
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = row[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                row[i] = (row[i] + left) & 0xFF
            elif kind == 2:
                row[i] = (row[i] + up) & 0xFF
            elif kind == 3:
                row[i] = (row[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                guess = left + up - corner
                pa, pb, pc = abs(guess - left), abs(guess - up), abs(guess - corner)
                predictor = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                row[i] = (row[i] + predictor) & 0xFF
        rows.append(bytes(row))
        previous = row
    rgb = [b"".join(r[x * channels:x * channels + 3] for x in range(width)) if channels == 4 else r
           for r in rows]
    return width, height, rgb


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def write_png(path, width, height, rows):
    raw = b"".join(b"\0" + row for row in rows)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as target:
        target.write(png)


def main():
    if len(sys.argv) != 8:
        raise SystemExit(__doc__)
    source, target = sys.argv[1], sys.argv[2]
    x, y, width, height, scale = (int(v) for v in sys.argv[3:])
    full_width, full_height, rows = read_png(source)
    x = x + full_width if x < 0 else x
    y = y + full_height if y < 0 else y
    x, y = max(0, min(x, full_width - 1)), max(0, min(y, full_height - 1))
    width, height = min(width, full_width - x), min(height, full_height - y)
    out = []
    for row in rows[y:y + height]:
        line = b"".join(row[(x + i) * 3:(x + i) * 3 + 3] * scale for i in range(width))
        out.extend([line] * scale)
    write_png(target, width * scale, height * scale, out)


if __name__ == "__main__":
    main()
