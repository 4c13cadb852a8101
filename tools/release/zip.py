#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files' contents: fixed order,
times (SOURCE_DATE_EPOCH, as UTC) and attributes, and no extra fields.

usage: zip.py OUT.zip DIR NAME...   (stored in the order given, flat)
"""
import os
import sys
import time
import zipfile


def main() -> int:
    out, folder, names = sys.argv[1], sys.argv[2], sys.argv[3:]
    # DOS times start in 1980 and have two-second steps.
    stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))
    date_time = (stamp.tm_year, stamp.tm_mon, stamp.tm_mday, stamp.tm_hour, stamp.tm_min, stamp.tm_sec & ~1)
    with zipfile.ZipFile(out + ".part", "w") as archive:
        for name in names:
            if not name.isascii() or "/" in name:
                raise SystemExit(f"zip: {name!r}: names are flat and ASCII only")
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # as from Windows: no Unix owner or mode
            info.external_attr = 0x20  # the archive attribute, as Explorer sets it
            with open(os.path.join(folder, name), "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
    os.replace(out + ".part", out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
