#!/usr/bin/env python3
"""Writes a package the way a publisher's tool would, independently of our C++ code, then checks
that `sfxpack info --json` reads back every setting and entry."""
import json
import subprocess
import sys
import tempfile
from pathlib import Path

KEY = b"wirl.dat"


def scramble(data: bytes) -> bytes:
    k = 0
    for b in KEY:
        k ^= b
    return bytes(((256 - (b ^ k)) & 0xFF) for b in data)


def block_of(items, per_row=8):
    out = bytearray()
    for i, item in enumerate(items):
        out += item
        out += b"\x08\r\n" if i % per_row == per_row - 1 else b"\x07"
    return bytes(out)


def main():
    sfxpack, = sys.argv[1:]
    pages = [[f"第{p}页 第{l}行 line".encode("gbk") if l != 3 else b"" for l in range(8)]
             for p in range(5)]
    items = [line for page in pages for line in page]
    items += ["演示程序 Demo".encode("gbk"), b"APP\\readme.txt", b"APP\\demo.exe"]
    items += ["卸载一".encode("gbk"), b"two", b"", b"four"]
    items += [b"", b"40000", b"1000", b"766", b"41000"]
    items += [b"APP\\viewer.exe", b"txt", b"WINDOWS_FOLDER\\notepad.exe", b"log"]
    items += [b"TRUE", b"1234", b"50000", "背景标题".encode("gbk"), str(0x00804020).encode(), b"FALSE"]
    items += [b"", b""]
    files = [
        ("说明.txt", b"INSTALL", "文档\\子", 7, b"ASK_COPY", 10, 100, b"TRUE"),
        ("a.dll", b"SYSTEM_FOLDER", "", 0, b"NOTEXIST_COPY", 0, 0, b"FALSE"),
        ("b.ini", b"WINDOWS_FOLDER", "conf\\", 2, b"", 5, 7, b"True"),
    ]
    for name, folder, sub, bits, mode, length, offset, comp in files:
        items += [name.encode("gbk"), folder, sub.encode("gbk"), str(bits).encode(), mode,
                  str(length).encode(), str(offset).encode(), comp]
    image = b"MZ" + bytes(4094)
    block = scramble(block_of(items))
    package = image + block + f"&LEN:{len(block)},SEEK:{len(image)}.".encode()

    with tempfile.TemporaryDirectory() as tmp:
        path = Path(tmp) / "setup.exe"
        path.write_bytes(package)
        got = json.loads(subprocess.run([sfxpack, "info", "--json", str(path)], check=True,
                                        capture_output=True).stdout)
        text = subprocess.run([sfxpack, "info", str(path)], check=True,
                              capture_output=True).stdout.decode("utf-8")
        (Path(tmp) / "bad.exe").write_bytes(image)
        refused = subprocess.run([sfxpack, "info", str(Path(tmp) / "bad.exe")],
                                 capture_output=True)

    expect = {
        "trailer": {"length": len(block), "offset": len(image),
                    "trailerOffset": len(image) + len(block), "dataEnd": len(package),
                    "checksum": "none"},
        "pages": {name: [l.decode("gbk") for l in pages[i]]
                  for i, name in enumerate(["welcome", "agreement", "folder", "progress", "finish"])},
        "appName": "演示程序 Demo", "readmeFile": "APP\\readme.txt", "runProgram": "APP\\demo.exe",
        "uninstallTexts": ["卸载一", "two", "", "four"],
        "picture": {"length": 40000, "offset": 1000}, "icon": {"length": 766, "offset": 41000},
        "fileTypes": [{"extension": "txt", "program": "APP\\viewer.exe"},
                      {"extension": "log", "program": "WINDOWS_FOLDER\\notepad.exe"}],
        "background": {"show": True, "pictureLength": 1234, "pictureOffset": 50000,
                       "caption": "背景标题", "color": "#204080", "titleBar": False},
        "files": [
            {"name": "说明.txt", "folder": "install", "subfolder": "文档\\子", "shortcuts": 7,
             "overwrite": "ask", "length": 10, "offset": 100, "compressed": True,
             "method": "unknown"},
            {"name": "a.dll", "folder": "system", "subfolder": "", "shortcuts": 0,
             "overwrite": "if-missing", "length": 0, "offset": 0, "compressed": False,
             "method": "stored"},
            {"name": "b.ini", "folder": "windows", "subfolder": "conf\\", "shortcuts": 2,
             "overwrite": "always", "length": 5, "offset": 7, "compressed": False,
             "method": "stored"},
        ],
    }
    failures = [f"{key}: expected {expect[key]!r}, got {got.get(key)!r}"
                for key in expect if got.get(key) != expect[key]]
    for needle in ["application name: 演示程序 Demo", "line 0: 第4页 第0行 line",
                   'name "说明.txt", folder install, subfolder "文档\\子", '
                   "shortcuts desktop,start-menu,program-group, overwrite ask"]:
        if needle not in text:
            failures.append(f"text output lacks {needle!r}")
    if refused.returncode != 1 or b"not a package" not in refused.stderr:
        failures.append(f"a file without trailer: status {refused.returncode}, {refused.stderr!r}")
    print("\n".join(failures) or "sfxpack info read every setting and entry")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
