#!/usr/bin/env python3
"""Packs examples/demo with `sfxpack build` and checks, with a TOML reader of its own (Python's
tomllib), that `sfxpack info --json` gives back every setting of the manifest and that
`sfxpack extract` gives back every file byte for byte; `sfxpack verify` must find it sound."""
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile
import tomllib
from pathlib import Path

FOLDER_WORDS = {"install": "INSTALL_FOLDER", "windows": "WINDOWS_FOLDER", "system": "SYSTEM_FOLDER"}
SHORTCUT_BITS = {"desktop": 1, "start-menu": 2, "program-group": 4}
PAGES = ["welcome", "agreement", "folder", "progress", "finish"]


def stored_path(path, folder):
    return FOLDER_WORDS[folder] + "\\" + path.replace("/", "\\")


def agreement_box(text):
    if text.startswith("\ufeff"):
        text = text[1:]
    return text.replace("\r\n", "\n").rstrip("\r\n").replace("\n", "\r\n")


def expected_files(manifest, base):
    """(source, folder, subfolder, name, rule) in the order the package must hold them."""
    out = []
    for rule in manifest.get("files", []):
        found = []  # (relative path below the subfolder, source)
        matches = (sorted(glob.glob(str(base / rule["source"])))
                   if any(c in rule["source"] for c in "*?[") else [str(base / rule["source"])])
        for match in matches:
            if os.path.isdir(match):
                for root, _, names in os.walk(match):
                    for n in names:
                        full = os.path.join(root, n)
                        found.append((os.path.relpath(full, match), full))
            else:
                found.append((os.path.basename(match), match))
        for relative, source in sorted(found):
            levels = ([rule["subfolder"].strip("/\\")] if rule.get("subfolder") else [])
            levels += relative.split("/")[:-1]
            out.append((source, rule.get("base", "install"), "\\".join(levels).replace("/", "\\"),
                        relative.split("/")[-1], rule))
    return out


def main():
    sfxpack, manifest_path = sys.argv[1:]
    with tempfile.TemporaryDirectory() as stage:
        # The demo's program and control come from the Windows build, which the host tests do
        # not have: stand-ins of a few bytes take their places in a copy of the folder.
        base = Path(stage) / "demo"
        shutil.copytree(Path(manifest_path).parent, base)
        for built in ("program/demo.exe", "program/democtl.ocx"):
            if not (base / built).exists():
                (base / built).write_bytes(b"MZ stand-in for " + built.encode())
        return check_package(sfxpack, base / Path(manifest_path).name)


def check_package(sfxpack, manifest_path):
    base = manifest_path.parent
    manifest = tomllib.loads(manifest_path.read_text("utf-8"))
    failures = []

    def check(what, got, want):
        if got != want:
            failures.append(f"{what}: got {got!r}, want {want!r}")

    with tempfile.TemporaryDirectory() as tmp:
        tmp = Path(tmp)
        (tmp / "stub.exe").write_bytes(b"MZ" + bytes(510))
        setup = tmp / "setup.exe"
        subprocess.run([sfxpack, "build", str(manifest_path), "-o", str(setup), "--stub",
                        str(tmp / "stub.exe"), "--quiet"], check=True)
        info = json.loads(subprocess.run([sfxpack, "info", "--json", str(setup)], check=True,
                                         capture_output=True).stdout)

        pages = manifest.get("pages", {})
        for name in PAGES:
            want = list(pages.get(name, [])) + [""] * (8 - len(pages.get(name, [])))
            if name == "agreement" and "agreement-text" in pages:
                want[2] = agreement_box((base / pages["agreement-text"]).read_text("utf-8"))
            check(f"pages.{name}", info["pages"][name], want)
        app = manifest["application"]
        check("appName", info["appName"], app["name"])
        check("readmeFile", info["readmeFile"],
              stored_path(app["readme"], app.get("readme-folder", "install")) if "readme" in app else "")
        check("runProgram", info["runProgram"],
              stored_path(app["run"], app.get("run-folder", "install")) if "run" in app else "")
        texts = manifest.get("uninstaller", {}).get("texts", [])
        check("uninstallTexts", info["uninstallTexts"], texts + [""] * (4 - len(texts)))
        wizard = manifest.get("wizard", {})
        for key, piece in (("picture", info["picture"]), ("icon", info["icon"])):
            size = (base / wizard[key]).stat().st_size if key in wizard else 0
            check(f"wizard.{key} length", piece["length"], size)
            if size:
                check(f"wizard.{key} bytes", setup.read_bytes()[piece["offset"]:][:size],
                      (base / wizard[key]).read_bytes())
        types = manifest.get("file-type", [])
        want_types = [{"extension": t["extension"],
                       "program": stored_path(t["program"], t.get("program-folder", "install"))}
                      for t in types] + [{"extension": "", "program": ""}] * (2 - len(types))
        check("fileTypes", info["fileTypes"], want_types)
        bg = manifest.get("background", {})
        got_bg = info["background"]
        check("background.show", got_bg["show"], bg.get("show", False))
        check("background.caption", got_bg["caption"], bg.get("caption", ""))
        check("background.color", got_bg["color"], bg.get("color", "#000000").upper())
        check("background.title-bar", got_bg["titleBar"], bg.get("title-bar", False))
        if "picture" in bg:
            check("background.picture", setup.read_bytes()[got_bg["pictureOffset"]:]
                  [:got_bg["pictureLength"]], (base / bg["picture"]).read_bytes())

        files = expected_files(manifest, base)
        check("file count", len(info["files"]), len(files))
        subprocess.run([sfxpack, "extract", str(setup), "-d", str(tmp / "out")], check=True,
                       capture_output=True)
        for got, (source, folder, sub, name, rule) in zip(info["files"], files):
            check(f"{source} name", got["name"], name)
            check(f"{source} folder", got["folder"], folder)
            check(f"{source} subfolder", got["subfolder"], sub)
            check(f"{source} shortcuts", got["shortcuts"],
                  sum(SHORTCUT_BITS[s] for s in set(rule.get("shortcuts", []))))
            check(f"{source} overwrite", got["overwrite"], rule.get("overwrite", "always"))
            if not rule.get("compress", True):
                check(f"{source} compressed", got["compressed"], False)
            extracted = tmp / "out" / folder / sub.replace("\\", "/") / name
            check(f"{source} bytes", extracted.read_bytes() if extracted.exists() else None,
                  Path(source).read_bytes())
        if not any(f["compressed"] for f in info["files"]):
            failures.append("no file was stored compressed")

        verify = subprocess.run([sfxpack, "verify", str(setup)], capture_output=True, text=True)
        decoded = sum(Path(source).stat().st_size
                      for (source, *_), got in zip(files, info["files"]) if got["compressed"])
        check("verify", (verify.returncode, verify.stdout.splitlines()[-1:]),
              (0, [f"{setup}: sound; {len(files)} files, {decoded} bytes decoded"]))

    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
