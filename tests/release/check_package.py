#!/usr/bin/env python3
"""check_package.py ZIP...: checks release zips made by tools/package.sh. Each must hold exactly
the two launchers, README.txt and SHA256SUMS in one top directory named like the zip; the
checksums must match the files; README.txt must be the user part of README.md and nothing else;
ZIP.sha256 must match the zip. Prints one line per zip and a closing count."""

import hashlib
import sys
import zipfile
from pathlib import Path

EXPECTED = ["README.txt", "SHA256SUMS", "install.exe", "update.exe"]


def problems(path):
    found = []
    top = path.name.removesuffix(".zip")
    with zipfile.ZipFile(path) as archive:
        names = sorted(archive.namelist())
        if names != [f"{top}/{name}" for name in EXPECTED]:
            return [f"entries {names}"]
        files = {name.split("/", 1)[1]: archive.read(name) for name in names}
    for line in files["SHA256SUMS"].decode().splitlines():
        digest, name = line.split("  ", 1)
        if hashlib.sha256(files.get(name, b"")).hexdigest() != digest:
            found.append(f"SHA256SUMS does not match {name}")
    listed = sorted(line.split("  ", 1)[1] for line in files["SHA256SUMS"].decode().splitlines())
    if listed != ["README.txt", "install.exe", "update.exe"]:
        found.append(f"SHA256SUMS lists {listed}")
    for exe in ("install.exe", "update.exe"):
        if not files[exe].startswith(b"MZ"):
            found.append(f"{exe} is no Windows executable")
    readme = files["README.txt"].decode("utf-8")
    if "## Using the launchers" not in readme or "## Development" in readme or "<!--" in readme:
        found.append("README.txt is not exactly the user part of README.md")
    if "\n" in readme.replace("\r\n", ""):
        found.append("README.txt has lines not ended by CR LF")
    sums = Path(f"{path}.sha256").read_text().split()
    if sums != [hashlib.sha256(path.read_bytes()).hexdigest(), path.name]:
        found.append(f"{path.name}.sha256 does not match the zip")
    return found


def main():
    failed = 0
    for name in sys.argv[1:]:
        found = problems(Path(name))
        print(("FAIL " if found else "ok   ") + Path(name).name)
        for problem in found:
            print("  " + problem)
        failed += bool(found)
    print(f"{len(sys.argv) - 1 - failed} passed, {failed} failed")
    return 1 if failed or len(sys.argv) < 2 else 0


if __name__ == "__main__":
    sys.exit(main())
