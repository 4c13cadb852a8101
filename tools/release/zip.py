#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files' contents: fixed order,
times (SOURCE_DATE_EPOCH, as UTC) and attributes, and no extra fields.

usage: zip.py OUT.zip DIR TOP NAME...
  Stores DIR/NAME as TOP/NAME, in the order given, after the folder TOP/
  itself: extracted anywhere, the zip makes one folder and touches nothing
  beside it.
"""
import os
import sys
import time
import zipfile


def main() -> int:
    out, folder, top, names = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    # DOS times start in 1980 and have two-second steps.
    stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))
    date_time = (stamp.tm_year, stamp.tm_mon, stamp.tm_mday, stamp.tm_hour, stamp.tm_min, stamp.tm_sec & ~1)
    for name in [top, *names]:
        if not name.isascii() or "/" in name or not name:
            raise SystemExit(f"zip: {name!r}: names are flat and ASCII only")
    with zipfile.ZipFile(out + ".part", "w") as archive:
        info = zipfile.ZipInfo(top + "/", date_time)
        info.create_system = 0
        info.external_attr = 0x10  # the directory attribute
        archive.writestr(info, b"")
        for name in names:
            info = zipfile.ZipInfo(f"{top}/{name}", date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # as from Windows: no Unix owner or mode
            info.external_attr = 0x20  # the archive attribute, as Explorer sets it
            with open(os.path.join(folder, name), "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    os.replace(out + ".part", out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
