#!/usr/bin/env python3
"""Damages a built package in ways the packer refuses to produce.

    patch-package.py SETUP.EXE damage-trailer
    patch-package.py SETUP.EXE set-line PAGE LINE TEXT
    patch-package.py SETUP.EXE cut-variants
    patch-package.py SETUP.EXE path-variants
    patch-package.py SETUP.EXE strip-checksum
    patch-package.py SETUP.EXE flip-variants
    patch-package.py SETUP.EXE sign-variants
    patch-package.py SETUP.EXE damage-stream NAME FRACTION

A package that carries the packer's checksum record after its trailer gets a new record after
every change above, as if the packer had written the damage: what is tested is the check that
comes after the checksum. strip-checksum makes a package as writers without the record make it
(no record, no mark in the settings).

flip-variants writes beside SETUP.EXE one package for each kind of piece with one byte of it
changed (and the record left as it was) and flips.scn, which expects the checksum's refusal.

sign-variants writes, with `$SFXPACK sign` and a certificate it makes, signed.exe, resigned.exe
(signed twice), unsigned.exe (the signature removed again by osslsigncode) and
damaged-signed.exe (a byte changed before signing), and ca.pem, the certificate.

damage-stream changes one byte of the compressed stream of the file NAME (its archive's head and
the LZMA header left whole), FRACTION of the way into it: damage the packer could not see, as
when a file was damaged before it was packed.

damage-trailer makes the trailer point past the end of the file. set-line replaces one line of
a wizard page (PAGE: welcome, agreement, folder, progress, finish; LINE 0 to 7) in the settings
block and writes the block and its trailer anew.

cut-variants leaves SETUP.EXE alone and writes beside it one package for every place where a
piece (picture, icon, background picture, a file's data) begins or ends, and one byte either
side of it, before the end of the last piece: the bytes from there to the settings block are cut
out, as a download that lost them would, and the settings block and a trailer that points at it
again follow. Every one of them misses part of a piece. cuts.scn, beside them, starts each and
expects the refusal before the first page.

path-variants writes beside SETUP.EXE one package for each path that leaves its base folder
(in a file's name or subfolder, the readme, the program to run, a file-type program) and one for
each that merely loses a trailing dot or space and stays inside, and paths.scn, which expects
the refusal of the first kind and the wizard for the second.
"""
import os
import re
import subprocess
import sys
import zlib

KEY = 0
for b in b"wirl.dat":
    KEY ^= b
PAGES = ["welcome", "agreement", "folder", "progress", "finish"]
TRAILER = re.compile(rb"&LEN:(-?\d+),SEEK:(-?\d+)\.(CRC32:[0-9A-F]{8},FROM:(\d+)\. *)?$")
# Settings items, counted from 0.
README, RUN_PROGRAM = 41, 42
PICTURE, ICON, BACKGROUND = (48, 49), (50, 51), (57, 58)
FILE_TYPE_PROGRAM, FILE_TYPE_EXTENSION = 52, 53
CHECKSUM_MARK = 63
FIRST_FILE, FILE_ITEMS = 64, 8
NAME, SUBFOLDER, LENGTH, OFFSET, COMPRESSED = 0, 2, 5, 6, 7

REFUSED = ['expect-box "初始化数据失败!" caption "" alone', "answer OK", "expect-exit"]
CORRUPT = ['expect-box "安装程序已损坏,可能是下载不完整.请重新下载." caption "" alone', "answer OK",
           "expect-exit 3"]

# Where the checksum starts, when the package has one: set by main().
SEAL_FROM = None


def seal(data):
    """The package with the packer's checksum record again, when it had one."""
    if SEAL_FROM is None:
        return data
    record = b"CRC32:%08X,FROM:%d." % (zlib.crc32(data[SEAL_FROM:]), SEAL_FROM)
    return data + record + b" " * (-(len(data) + len(record)) % 8)


def refused(first):
    """The refusal, with a picture of the box the first time."""
    return REFUSED[:1] + (["screenshot refused"] if first else []) + REFUSED[1:]


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


def with_block(image, items, rest):
    """The package of `image` followed by the settings `items` and their trailer."""
    block = scramble(b"".join(item + sep for item, sep in items) + rest)
    return seal(image + block + b"&LEN:%d,SEEK:%d." % (len(block), len(image)))


def pieces(items):
    """(offset, length) of every piece the settings name that has bytes."""
    found = []
    for length, offset in (PICTURE, ICON, BACKGROUND):
        if int(items[length][0] or 0) > 0:
            found.append((int(items[offset][0]), int(items[length][0])))
    at = FIRST_FILE
    while at + FILE_ITEMS <= len(items) and items[at][0]:
        length = int(items[at + LENGTH][0])
        if length > 0:
            found.append((int(items[at + OFFSET][0]), length))
        at += FILE_ITEMS
    return found


def cut_variants(path, data, seek, length):
    folder = os.path.dirname(path)
    block = data[seek:seek + length]
    items, _ = split_items(unscramble(block))
    places = pieces(items)
    last = max(offset + size for offset, size in places)
    cuts = sorted({b + d for offset, size in places for b in (offset, offset + size)
                   for d in (-1, 0, 1)})
    script = ["# Every cut that takes bytes of a piece: refused before the first page."]
    for cut in (c for c in cuts if 0 < c < last):
        name = "setup-cut-%d.exe" % cut
        with open(os.path.join(folder, name), "wb") as out:
            out.write(seal(data[:cut] + block + b"&LEN:%d,SEEK:%d." % (len(block), cut)))
        script += ["start " + name] + refused(len(script) == 1)
    with open(os.path.join(folder, "cuts.scn"), "w", encoding="utf-8") as out:
        out.write("\n".join(script) + "\n")


# (what, item, text): the item of the settings (a file item counts from the first file's) and
# the GBK text put there. The first group leaves its base folder, the second stays inside.
LEAVING = [
    ("file", SUBFOLDER, "..\\..\\evil"),
    ("file", SUBFOLDER, "sub\\..\\..\\evil"),
    ("file", SUBFOLDER, "sub/../../evil"),
    ("file", SUBFOLDER, ".. \\evil"),
    ("file", SUBFOLDER, "...\\evil"),
    ("file", SUBFOLDER, "\\evil"),
    ("file", SUBFOLDER, "C:\\evil"),
    ("file", SUBFOLDER, "\\\\server\\share"),
    ("file", NAME, "..\\evil.txt"),
    ("file", NAME, ".. .\\evil.txt"),
    ("file", NAME, "nul.txt"),
    ("readme", README, "INSTALL_FOLDER\\..\\..\\evil.txt"),
    ("run", RUN_PROGRAM, "WINDOWS_FOLDER\\..\\evil.exe"),
    ("file type", FILE_TYPE_PROGRAM, "SYSTEM_FOLDER\\..\\..\\evil.exe"),
]
INSIDE = [
    ("file", NAME, "readme.txt."),
    ("file", SUBFOLDER, "docs "),
    ("file", SUBFOLDER, "sub\\..\\docs"),
    ("readme", README, "INSTALL_FOLDER\\readme.txt. "),
]


def path_variants(path, data, seek, length):
    folder = os.path.dirname(path)
    image = data[:seek]
    script = []
    for group, cases in (("leaving", LEAVING), ("inside", INSIDE)):
        for number, (what, item, text) in enumerate(cases):
            items, rest = split_items(unscramble(data[seek:seek + length]))
            at = FIRST_FILE + item if what == "file" else item
            items[at][0] = text.encode("gbk")
            if what == "file type":
                items[FILE_TYPE_EXTENSION][0] = b"dmo"
            name = "%s-%d.exe" % (group, number)
            with open(os.path.join(folder, name), "wb") as out:
                out.write(with_block(image, items, rest))
            script.append("# %s: %s" % (what, text))
            script.append("start " + name)
            if group == "leaving":
                script += refused(number == 0)
            else:
                script += ["expect-sheet", "end-program"]
    with open(os.path.join(folder, "paths.scn"), "w", encoding="utf-8") as out:
        out.write("\n".join(script) + "\n")


def flip_variants(path, data, seek, length):
    folder = os.path.dirname(path)
    items, _ = split_items(unscramble(data[seek:seek + length]))
    places = [("settings", seek, length)] + [("piece at %d" % offset, offset, size)
                                             for offset, size in pieces(items)]
    script = ["# One byte changed in each piece: the checksum refuses the package at once."]
    for number, (what, offset, size) in enumerate(places):
        flipped = bytearray(data)
        flipped[offset + size // 2] ^= 0x20
        name = "flip-%d.exe" % number
        open(os.path.join(folder, name), "wb").write(bytes(flipped))
        script += ["# " + what, "start " + name] + CORRUPT
    script += ["start flip-0.exe /S", "expect-exit-without-window 3"]
    with open(os.path.join(folder, "flips.scn"), "w", encoding="utf-8") as out:
        out.write("\n".join(script) + "\n")


def sign_variants(path, data, seek, length):
    folder = os.path.dirname(path)
    sfxpack = os.environ["SFXPACK"]

    def run(*command):
        subprocess.run(command, check=True, cwd=folder, stdout=subprocess.DEVNULL)

    run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
        "-subj", "/CN=Demo Publisher", "-keyout", "key.pem", "-out", "ca.pem")
    sign = (sfxpack, "sign", "--cert", "ca.pem", "--key", "key.pem")
    run(*sign, "setup.exe", "-o", "signed.exe")
    run(*sign, "signed.exe", "-o", "resigned.exe")
    run("osslsigncode", "remove-signature", "-in", "resigned.exe", "-out", "unsigned.exe")
    flipped = bytearray(data)
    flipped[seek + length // 2] ^= 0x20
    open(os.path.join(folder, "damaged.exe"), "wb").write(bytes(flipped))
    # The packer's own check refuses to sign a damaged package; a signer that does not look
    # (osslsigncode itself) signs it all the same.
    run("osslsigncode", "sign", "-certs", "ca.pem", "-key", "key.pem", "-in", "damaged.exe",
        "-out", "damaged-signed.exe")
    for name in ("signed.exe", "resigned.exe"):
        run("osslsigncode", "verify", "-in", name, "-CAfile", "ca.pem")


def main(argv):
    global SEAL_FROM
    path, action = argv[1], argv[2]
    data = open(path, "rb").read()
    match = TRAILER.search(data)
    if not match:
        sys.exit("patch-package: no trailer in " + path)
    length, seek = int(match.group(1)), int(match.group(2))
    if match.group(3):
        SEAL_FROM = int(match.group(4))
    if action in ("flip-variants", "sign-variants"):
        return (flip_variants if action == "flip-variants" else sign_variants)(
            path, data, seek, length)
    data = data[:match.start() + len(match.group(0)) - len(match.group(3) or b"")]
    if action == "damage-trailer":
        data = seal(data[:match.start()] + b"&LEN:%d,SEEK:%d." % (length, len(data) + 1000))
    elif action == "strip-checksum":
        items, rest = split_items(unscramble(data[seek:seek + length]))
        items[CHECKSUM_MARK][0] = b""
        SEAL_FROM = None
        data = with_block(data[:seek], items, rest)
    elif action == "set-line":
        page, line, text = PAGES.index(argv[3]), int(argv[4]), argv[5].encode("gbk")
        items, rest = split_items(unscramble(data[seek:seek + length]))
        items[page * 8 + line][0] = text
        data = with_block(data[:seek], items, rest)
    elif action == "damage-stream":
        name, fraction = argv[3].encode("gbk"), float(argv[4])
        items, rest = split_items(unscramble(data[seek:seek + length]))
        at = FIRST_FILE
        while items[at][0] != name:
            at += FILE_ITEMS
        offset, size = int(items[at + OFFSET][0]), int(items[at + LENGTH][0])
        head = 38 + 13  # the archive's header, begin mark and first node, the LZMA header
        where = offset + head + int((size - head) * fraction)
        data = seal(data[:where] + bytes([data[where] ^ 0x5A]) + data[where + 1:])
    elif action == "cut-variants":
        return cut_variants(path, data, seek, length)
    elif action == "path-variants":
        return path_variants(path, data, seek, length)
    else:
        sys.exit("patch-package: unknown action " + action)
    open(path, "wb").write(data)


if __name__ == "__main__":
    main(sys.argv)
