#!/usr/bin/env python3
"""Writes the copy animation ("AVI" 131): 17 frames of 260x40 pixels, 8 bits per pixel,
run-length encoded (RLE8), 100 ms per frame. A sheet of paper flies from one folder into the
other. The animation control treats the top-left pixel's colour as transparent."""
import struct
import sys

WIDTH, HEIGHT, FRAMES = 260, 40, 17
PALETTE = [
    (192, 192, 192),  # 0 background (transparent)
    (40, 40, 40),     # 1 outline
    (250, 210, 90),   # 2 folder
    (255, 255, 255),  # 3 paper
    (40, 90, 200),    # 4 writing on the paper
]


def frame(number):
    rows = [[0] * WIDTH for _ in range(HEIGHT)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(max(y0, 0), min(y1, HEIGHT)):
            for x in range(max(x0, 0), min(x1, WIDTH)):
                rows[y][x] = colour

    for left in (8, 212):
        rect(left, 14, left + 40, 38, 1)
        rect(left + 1, 15, left + 39, 37, 2)
        rect(left, 10, left + 16, 15, 1)
        rect(left + 1, 11, left + 15, 15, 2)
    # The paper travels from above the first folder to above the second along a flat arc.
    t = number / (FRAMES - 1)
    x = int(20 + t * (224 - 20))
    y = int(12 - 40 * t * (1 - t))
    rect(x, y, x + 16, y + 20, 1)
    rect(x + 1, y + 1, x + 15, y + 19, 3)
    for line in range(4):
        rect(x + 3, y + 4 + line * 4, x + 13, y + 5 + line * 4, 4)
    return rows


def rle8(rows):
    out = bytearray()
    for row in reversed(rows):  # bottom-up
        x = 0
        while x < WIDTH:
            colour = row[x]
            run = 1
            while x + run < WIDTH and row[x + run] == colour and run < 255:
                run += 1
            out += bytes((run, colour))
            x += run
        out += b"\x00\x00"
    out[-2:] = b"\x00\x01"  # the last end of line becomes the end of the bitmap
    return bytes(out)


def chunk(fourcc, data):
    pad = b"\x00" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, payload):
    return kind + struct.pack("<I", len(payload) + 4) + fourcc + payload


def main(path):
    frames = [rle8(frame(n)) for n in range(FRAMES)]
    biggest = max(len(f) for f in frames)
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    bitmap = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 1, WIDTH * HEIGHT, 0, 0,
                         len(PALETTE), 0) + palette
    avih = struct.pack("<IIIIIIIIII4I", 100000, biggest * 10, 0, 0x10, FRAMES, 0, 1, biggest,
                       WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = b"vids" + b"RLE " + struct.pack("<IHHIIIIIIiI4h", 0, 0, 0, 0, 1, 10, 0, FRAMES,
                                             biggest, -1, 0, 0, 0, WIDTH, HEIGHT)
    hdrl = riff_list(b"LIST", b"hdrl",
                     chunk(b"avih", avih) +
                     riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", bitmap)))
    movi_payload = b""
    index = b""
    for data in frames:
        # Offsets count from the "movi" fourcc, as players expect.
        index += b"00dc" + struct.pack("<III", 0x10, 4 + len(movi_payload), len(data))
        movi_payload += chunk(b"00dc", data)
    body = hdrl + riff_list(b"LIST", b"movi", movi_payload) + chunk(b"idx1", index)
    with open(path, "wb") as f:
        f.write(riff_list(b"RIFF", b"AVI ", body))


if __name__ == "__main__":
    main(sys.argv[1])
