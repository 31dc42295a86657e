#!/usr/bin/env python3
"""Writes the installer's icon (icon group 128): a box with an arrow into it, 32x32 and 16x16,
32 bits per pixel with its mask."""
import struct
import sys


def pixel(x, y, size):
    """BGRA of the pixel (x, y), y from the top, on a 32-unit drawing scaled to `size`."""
    u, v = x * 32 // size, y * 32 // size
    box = 4 <= u <= 27 and 14 <= v <= 29
    box_edge = box and (u in (4, 27) or v in (14, 29))
    shaft = 13 <= u <= 18 and 2 <= v <= 14
    head = 15 - (v - 11) <= u + 0 and u <= 16 + (v - 11) and 11 <= v <= 19 and 8 <= u <= 23
    if shaft or head:
        return (40, 160, 40, 255)
    if box_edge:
        return (90, 50, 20, 255)
    if box:
        return (120, 190, 230, 255)
    return (0, 0, 0, 0)


def image(size):
    rows = []
    mask_rows = []
    mask_stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        row = b"".join(bytes(pixel(x, y, size)) for x in range(size))
        rows.append(row)
        bits = bytearray(mask_stride)
        for x in range(size):
            if pixel(x, y, size)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(bits))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         size * size * 4 + mask_stride * size, 0, 0, 0, 0)
    return header + b"".join(rows) + b"".join(mask_rows)


def main(path):
    sizes = (32, 16)
    images = [image(s) for s in sizes]
    offset = 6 + 16 * len(sizes)
    out = struct.pack("<HHH", 0, 1, len(sizes))
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
