#!/usr/bin/env python3
"""Shows that check.py finds each fault a broken release zip could have:
the good zip passes, and every spoiled copy of it fails for its own reason.

usage: check_test.py GOOD.zip UNSTRIPPED-quillbox.exe
"""
import struct
import sys
import tempfile
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import check  # noqa: E402


def with_link_time(exe: bytes) -> bytes:
    header = struct.unpack_from("<I", exe, 0x3C)[0]
    return exe[: header + 8] + struct.pack("<I", 1765065600) + exe[header + 12 :]


def utf16_replaced(exe: bytes, old: str, new: str) -> bytes:
    assert len(old) == len(new)
    return exe.replace(old.encode("utf-16-le"), new.encode("utf-16-le"))


def readme_without(heading: str):
    return lambda t: t.replace(f"■ {heading}\r\n".encode(), b"")


def readme_swapped(a: str, b: str):
    return lambda t: t.replace(f"■ {a}".encode(), b"@@").replace(f"■ {b}".encode(), f"■ {a}".encode()).replace(
        b"@@", f"■ {b}".encode())


def main() -> int:
    good, unstripped = sys.argv[1], Path(sys.argv[2]).read_bytes()
    top = check.top_folder(good) + "/"
    with zipfile.ZipFile(good) as z:
        files = {name[len(top):]: z.read(name) for name in z.namelist() if name != top}

    def spoil(name, change):
        return lambda fs: {**fs, name: change(fs[name])}

    # (what is wrong, how to spoil the files, a part of the problem check.py must report)
    cases = [
        ("a sample score file", lambda fs: {**fs, "hsc.ini": b"[a\\b]\r\n"}, "wanted exactly"),
        ("no LICENSE.txt", lambda fs: {k: v for k, v in fs.items() if k != "LICENSE.txt"}, "wanted exactly"),
        ("a Japanese file name", lambda fs: {**fs, "説明.txt": b"x"}, "not an ASCII name"),
        ("a file beside the folder", lambda fs: {**fs, "/../readme.txt": b"x"}, "outside the one folder"),
        ("no folder at all", lambda fs: {"/../" + k: v for k, v in fs.items()}, "outside the one folder"),
        ("readme without BOM", spoil("readme.txt", lambda t: t[3:]), "byte order mark"),
        ("readme with a lone LF", spoil("readme.txt", lambda t: t.replace(b"\r\n", b"\n", 1)), "LF without CR"),
        ("readme with a lone CR", spoil("readme.txt", lambda t: t + b"\r"), "CR without LF"),
        ("readme without 更新履歴", spoil("readme.txt", readme_without("更新履歴")), "sections"),
        ("readme with half-width parentheses", spoil("readme.txt", lambda t: t.replace("（".encode(), b"(", 1)),
         "parenthesis rule"),
        ("readme out of order", spoil("readme.txt", readme_swapped("注意事項", "使い方")), "sections"),
        ("notices without the GCC exception",
         spoil("THIRD-PARTY-NOTICES.txt", lambda t: t.replace(b"GCC RUNTIME LIBRARY", b"GCC")), "lacks"),
        ("an unstripped exe", lambda fs: {**fs, "quillbox.exe": unstripped}, "debug sections"),
        ("a DLL Windows lacks", spoil("quillbox.exe", lambda e: e.replace(b"VERSION.dll", b"VERZION.dll")),
         "verzion.dll"),
        ("a link time", spoil("quillbox-report.exe", with_link_time), "link time"),
        ("another copyright", spoil("quillbox-report.exe", lambda e: utf16_replaced(e, "quillbox authors", "quillbox Authorz")),
         "LegalCopyright"),
        ("no long path awareness",
         spoil("quillbox-report.exe", lambda e: e.replace(b"longPathAware", b"shortPathAwar")), "longPathAware"),
    ]
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        def problems_of(fs):
            # The good zip's own name: it names the folder the files belong in.
            path = Path(tmp) / Path(good).name
            with zipfile.ZipFile(path, "w") as z:
                for name, data in fs.items():
                    # "/../x" stands for x beside the folder, not in it.
                    z.writestr(name[4:] if name.startswith("/../") else top + name, data)
            return check.check_zip(str(path))

        found = problems_of(files)
        if found:
            failures += 1
            print(f"FAIL the good zip: {found}")
        for what, change, expected in cases:
            found = problems_of(change(files))
            if any(expected in p for p in found):
                print(f"ok   {what}")
            else:
                failures += 1
                print(f"FAIL {what}: wanted a problem with {expected!r}, got {found}")
    print(f"check_test: {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
