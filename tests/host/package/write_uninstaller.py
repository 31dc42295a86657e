#!/usr/bin/env python3
"""Writes an unwise.exe the way the installer leaves it, independently of our C++ code, then
checks that `sfxpack info` reads its block, tells it from a package, and refuses a damaged one."""
import json
import subprocess
import sys
import tempfile
from pathlib import Path

# The same scrambling and item rows as a package's settings, written by the same hand.
from write_package import block_of, scramble


def unwise(items, program=b"MZ" + bytes(53246)):
    block = scramble(block_of(items))
    pieces = bytes(40000) + bytes(766)
    seek = len(program) + len(pieces)
    return program + pieces + block + f"&LEN:{len(block)},SEEK:{seek}.".encode(), len(block)


def info(sfxpack, path, *extra):
    return subprocess.run([sfxpack, "info", str(path), *extra], capture_output=True)


def main():
    sfxpack, = sys.argv[1:]
    items = ["演示程序".encode("gbk"), b"40000", b"53248", b"766", b"93248",
             "卸载演示程序".encode("gbk"), b"", "确实要卸载演示程序吗?".encode("gbk"), b"done"]
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        good = Path(tmp) / "unwise.exe"
        data, length = unwise(items)
        good.write_bytes(data)
        got = json.loads(info(sfxpack, good, "--json").stdout)
        expect = {
            "kind": "uninstaller",
            "trailer": {"length": length, "offset": 94014, "trailerOffset": 94014 + length,
                        "dataEnd": len(data), "checksum": "none"},
            "appName": "演示程序",
            "picture": {"length": 40000, "offset": 53248},
            "icon": {"length": 766, "offset": 93248},
            "uninstallTexts": ["卸载演示程序", "", "确实要卸载演示程序吗?", "done"],
        }
        if got != expect:
            failures.append(f"--json: expected {expect!r}, got {got!r}")
        text = info(sfxpack, good).stdout.decode("utf-8")
        for needle in [f"trailer: uninstaller block of {length} bytes at offset 94014",
                       "application name: 演示程序", "picture: 40000 bytes at 53248",
                       "icon: 766 bytes at 93248", "uninstaller text 2: 确实要卸载演示程序吗?"]:
            if needle not in text:
                failures.append(f"text output lacks {needle!r}:\n{text}")

        # Nine items with a damaged number, or a piece over the block: refused, not a package.
        for damage, word in [(3, b"76x"), (4, b"94000")]:
            bad_items = list(items)
            bad_items[damage] = word
            bad = Path(tmp) / f"bad{damage}.exe"
            bad.write_bytes(unwise(bad_items)[0])
            result = info(sfxpack, bad)
            if result.returncode != 1 or b"damaged uninstaller block" not in result.stderr:
                failures.append(f"item {damage + 1} {word!r}: status {result.returncode}, "
                                f"{result.stderr!r}")

        # Ten items are no uninstaller block: the package loader reads them (as a package whose
        # pages hold these texts).
        ten = Path(tmp) / "ten.exe"
        ten.write_bytes(unwise(items + [b"tenth"])[0])
        got = json.loads(info(sfxpack, ten, "--json").stdout)
        if got.get("kind") != "package":
            failures.append(f"ten items read as {got.get('kind')!r}")
    print("\n".join(failures) or "sfxpack info read the uninstaller's block")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
