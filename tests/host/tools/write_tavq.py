#!/usr/bin/env python3
"""Writes a TAVQ archive the way another publisher's tool would, with an LZW encoder of its own
(independent of our C++ code), then checks that `sfxpack tavq-unpack` gives back every node."""
import random
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

CLEAR, END, FIRST = 256, 257, 258


def width_for(next_code):
    # The decoder reads with the bits needed for nextCode + 1, at least 9.
    return max(9, (next_code + 1).bit_length())


def lzw_encode(data: bytes) -> bytes:
    bits = []

    def put(code, width):
        bits.extend((code >> i) & 1 for i in range(width - 1, -1, -1))

    put(CLEAR, 9)
    table = {bytes([i]): i for i in range(256)}
    decoder_next = FIRST      # the decoder's nextCode when it reads the next code
    first_after_clear = True  # that code adds no string on the decoder's side
    w = b""
    for value in data:
        c = bytes([value])
        if w + c in table:
            w += c
            continue
        put(table[w], width_for(decoder_next))
        if first_after_clear:
            first_after_clear = False
        else:
            decoder_next += 1
        if decoder_next == 4092:
            put(CLEAR, width_for(decoder_next))
            table = {bytes([i]): i for i in range(256)}
            decoder_next, first_after_clear = FIRST, True
        else:
            table[w + c] = len(table) + 2  # codes 256 and 257 hold no string
        w = c
    if w:
        put(table[w], width_for(decoder_next))
        if not first_after_clear:
            decoder_next += 1
    put(END, width_for(decoder_next))
    bits.extend([0] * (-len(bits) % 8))
    return bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))


def archive_of(nodes):
    out = b"TAVQ" + struct.pack("<H", 10) + b"\xcc\xcc" + struct.pack("<I", len(nodes))
    out += struct.pack("<HHH", 0xEE, 0x90, 0)
    for name, data in nodes:
        stream = lzw_encode(data)
        out += struct.pack("<H", 0xFF) + b"\xcc\xcc" + struct.pack("<III", 0, len(data), len(stream))
        out += struct.pack("<H", len(name)) + b"\xcc\xcc" + name + stream
    return out


def main():
    sfxpack, = sys.argv[1:]
    rng = random.Random(3)
    text = "".join(f"第{i % 97}行 line {i * 7919 % 1000} of the readme\r\n" for i in range(4000))
    nodes = [
        ("说明.txt".encode("gbk"), text.encode("gbk")),
        (b"random.bin", bytes(rng.randrange(256) for _ in range(60000))),
        (b"", b""),
        (b"one", b"x"),
        (b"run.bin", b"\0" * 100000),
        (b"abab", b"ABABABA"),
    ]
    assert lzw_encode(b"ABABABA") == bytes([0x80, 0x10, 0x48, 0x50, 0x28, 0x24, 0x04])
    with tempfile.TemporaryDirectory() as tmp:
        archive = Path(tmp) / "foreign.tavq"
        archive.write_bytes(archive_of(nodes))
        for index, (name, data) in enumerate(nodes):
            out = Path(tmp) / f"node{index}"
            subprocess.run([sfxpack, "tavq-unpack", str(archive), "-o", str(out),
                            "--node", str(index)], check=True)
            got = out.read_bytes()
            if got != data:
                sys.exit(f"node {index} ({name!r}): {len(got)} bytes back, expected {len(data)}")
        # Past the last node: refused, nothing written.
        out = Path(tmp) / "past"
        result = subprocess.run([sfxpack, "tavq-unpack", str(archive), "-o", str(out),
                                 "--node", str(len(nodes))], capture_output=True, text=True)
        if result.returncode != 1 or "not tavq single file head" not in result.stderr or out.exists():
            sys.exit(f"past the last node: status {result.returncode}, {result.stderr!r}")
    print(f"{len(nodes)} nodes unpacked")


if __name__ == "__main__":
    main()
