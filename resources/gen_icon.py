#!/usr/bin/env python3
"""Writes the installer's icon (icon group 128): a box with an arrow into it, 32x32 and 16x16.
It has three colours, so 4 bits per pixel hold it exactly: a fifth of the bytes of a 32-bit
icon, in every installer and uninstaller."""
import struct
import sys


# BGR of the palette's colours; 0 (black) lies under the mask's transparent pixels.
PALETTE = [(0, 0, 0), (40, 160, 40), (90, 50, 20), (120, 190, 230)]


def pixel(x, y, size):
    """The palette index of the pixel (x, y), y from the top, on a 32-unit drawing scaled to
    `size`; 0 is transparent."""
    u, v = x * 32 // size, y * 32 // size
    box = 4 <= u <= 27 and 14 <= v <= 29
    box_edge = box and (u in (4, 27) or v in (14, 29))
    shaft = 13 <= u <= 18 and 2 <= v <= 14
    head = 15 - (v - 11) <= u + 0 and u <= 16 + (v - 11) and 11 <= v <= 19 and 8 <= u <= 23
    if shaft or head:
        return 1
    if box_edge:
        return 2
    if box:
        return 3
    return 0


def image(size):
    rows = []
    mask_rows = []
    stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        row = bytearray(stride)
        bits = bytearray(mask_stride)
        for x in range(size):
            index = pixel(x, y, size)
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if index == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
        mask_rows.append(bytes(bits))
    palette = b"".join(bytes((b, g, r, 0)) for b, g, r in PALETTE) + bytes(4 * (16 - len(PALETTE)))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         stride * size + mask_stride * size, 0, 0, 16, 0)
    return header + palette + b"".join(rows) + b"".join(mask_rows)


def main(path):
    sizes = (32, 16)
    images = [image(s) for s in sizes]
    offset = 6 + 16 * len(sizes)
    out = struct.pack("<HHH", 0, 1, len(sizes))
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
