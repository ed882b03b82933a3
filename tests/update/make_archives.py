#!/usr/bin/env python3
"""Writes the zip archives of the unpack tests into FOLDER, made with Python's zipfile."""
import sys
import time
import zipfile
from pathlib import Path


def entry(name, unix_mode=None, date=(2024, 5, 6, 7, 8, 10)):
    info = zipfile.ZipInfo(name, date_time=date)
    if unix_mode is not None:
        info.create_system = 3
        info.external_attr = unix_mode << 16
    return info


def main():
    out = Path(sys.argv[1])
    with zipfile.ZipFile(out / "hostile.zip", "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(entry("C:\\x\\..\\..\\evil"), "evil")
        z.writestr(entry("/a/b.txt"), "b")
        z.writestr(entry("../../escape"), "escape")
        z.writestr(entry("dir/"), "")
        z.writestr(entry("dir/inner.txt"), "inner")
        z.writestr(entry("link", 0o120777), "/etc/passwd")
        z.writestr(entry(".."), "nothing")
        z.writestr(entry("ok.txt"), "fine " * 100)
    with zipfile.ZipFile(out / "bomb.zip", "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(entry("zeros.bin"), b"\0" * (20 * 1024 * 1024))
    with zipfile.ZipFile(out / "many.zip", "w", zipfile.ZIP_STORED) as z:
        for i in range(10001):
            z.writestr(entry(f"f{i}"), "")
    with zipfile.ZipFile(out / "through_link.zip", "w") as z:
        z.writestr(entry("a/b.txt"), "b")
        z.writestr(entry("evil"), "evil")


if __name__ == "__main__":
    main()
