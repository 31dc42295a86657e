#!/usr/bin/env python3
"""Writes the demo's pictures: side.bmp (the wizard's side strip), background.bmp and app.ico.
Small on purpose; the installer stretches pictures to their places. Run from anywhere."""
import struct
from pathlib import Path

HERE = Path(__file__).resolve().parent


def bmp(width, height, pixel):
    """A 24-bit bottom-up BMP; pixel(x, y) gives (r, g, b) with y counted from the top."""
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(height)):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def ico(size, pixel):
    """A one-image 32-bit icon."""
    xor = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = pixel(x, y)
            xor += bytes((b, g, r, a))
    mask = bytes(((size + 31) // 32) * 4 * size)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32,
                                                      len(image), 22) + image


def side(x, y):
    # A blue strip that lightens downwards, with a pale band.
    t = y / 49
    band = 30 if 20 <= y <= 24 else 0
    return (int(20 + 60 * t) + band, int(60 + 90 * t) + band, int(140 + 100 * t))


def background(x, y):
    t = (x + y) / 94
    return (int(32 + 40 * t), int(64 + 60 * t), int(128 + 90 * t))


def icon(x, y):
    inside = 2 <= x <= 13 and 2 <= y <= 13
    if not inside:
        return (0, 0, 0, 0)
    edge = x in (2, 13) or y in (2, 13)
    return (20, 60, 140, 255) if edge else (240, 200, 60, 255)


(HERE / "side.bmp").write_bytes(bmp(23, 50, side))
(HERE / "background.bmp").write_bytes(bmp(64, 32, background))
(HERE / "app.ico").write_bytes(ico(16, icon))
