#!/usr/bin/env python3
"""Damages a built package in ways the packer refuses to produce.

    patch-package.py SETUP.EXE damage-trailer
    patch-package.py SETUP.EXE set-line PAGE LINE TEXT

damage-trailer makes the trailer point past the end of the file. set-line replaces one line of
a wizard page (PAGE: welcome, agreement, folder, progress, finish; LINE 0 to 7) in the settings
block and writes the block and its trailer anew.
"""
import re
import sys

KEY = 0
for b in b"wirl.dat":
    KEY ^= b
PAGES = ["welcome", "agreement", "folder", "progress", "finish"]
TRAILER = re.compile(rb"&LEN:(-?\d+),SEEK:(-?\d+)\.$")


def unscramble(block):
    return bytes(((256 - b) & 0xFF) ^ KEY for b in block)


def scramble(block):
    return bytes((256 - (b ^ KEY)) & 0xFF for b in block)


def split_items(text):
    """Items with the separator that follows each (b'\\x07' or b'\\x08\\r\\n')."""
    items = []
    at = 0
    while True:
        ends = [i for i in (text.find(b"\x07", at), text.find(b"\x08", at)) if i >= 0]
        if not ends:
            return items, text[at:]
        end = min(ends)
        sep = text[end:end + 1] if text[end] == 7 else text[end:end + 3]
        items.append([text[at:end], sep])
        at = end + len(sep)


def main(argv):
    path, action = argv[1], argv[2]
    data = open(path, "rb").read()
    match = TRAILER.search(data)
    if not match:
        sys.exit("patch-package: no trailer in " + path)
    length, seek = int(match.group(1)), int(match.group(2))
    if action == "damage-trailer":
        data = data[:match.start()] + b"&LEN:%d,SEEK:%d." % (length, len(data) + 1000)
    elif action == "set-line":
        page, line, text = PAGES.index(argv[3]), int(argv[4]), argv[5].encode("gbk")
        items, rest = split_items(unscramble(data[seek:seek + length]))
        items[page * 8 + line][0] = text
        block = scramble(b"".join(item + sep for item, sep in items) + rest)
        data = data[:seek] + block + b"&LEN:%d,SEEK:%d." % (len(block), seek)
    else:
        sys.exit("patch-package: unknown action " + action)
    open(path, "wb").write(data)


if __name__ == "__main__":
    main(sys.argv)
