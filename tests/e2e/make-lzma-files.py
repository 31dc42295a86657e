#!/usr/bin/env python3
"""Writes the files of the LZMA scenarios into DIR, with their two manifests: a Chinese name and a
copy of it (stored once), an empty file, a file of one repeated byte and a file of 100 MiB (a megabyte of noise a hundred
times over, so that it packs small and still makes the decoder work). Made at build time: the
tree keeps none of them.

    make-lzma-files.py DIR
"""
import random
import sys
from pathlib import Path


def main():
    folder = Path(sys.argv[1])
    files = folder / "files"
    files.mkdir(parents=True, exist_ok=True)
    text = "第一行 说明\r\n第二行 文字\r\n".encode("gbk") * 200
    (files / "中文说明.txt").write_bytes(text)
    (files / "副本.txt").write_bytes(text)
    (files / "空文件.dat").write_bytes(b"")
    (files / "重复字节.bin").write_bytes(b"A" * (1 << 20))
    block = random.Random(21).randbytes(1 << 20)
    big = files / "大文件.bin"
    if not big.exists() or big.stat().st_size != 100 << 20:
        with open(big, "wb") as out:
            for _ in range(100):
                out.write(block)
    for name, method in (("lzma", "lzma"), ("lzma-solid", "lzma-solid")):
        (folder / f"{name}.toml").write_text(
            '[application]\nname = "演示程序"\n'
            f'[compression]\nmethod = "{method}"\nlevel = 1\n'
            '[[files]]\nsource = "files"\nsubfolder = "数据"\n', encoding="utf-8")


if __name__ == "__main__":
    main()
