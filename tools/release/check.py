#!/usr/bin/env python3
"""Checks the Windows release zip as a player receives it; prints every
problem found and exits 1 if there is any.

usage: check.py quillbox-VERSION-win64.zip   (its files in the folder quillbox-VERSION/)
"""
import re
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

FILES = {"quillbox.exe", "quillbox-report.exe", "readme.txt", "LICENSE.txt", "THIRD-PARTY-NOTICES.txt"}
HEADINGS = ["概要", "動作環境", "ファイル構成", "使い方", "表示の見かた", "コマンドライン版（quillbox-report.exe）",
            "アンインストール", "困ったときは", "注意事項", "転載・再配布", "バージョンの表記", "更新履歴", "ライセンス",
            "ソースコード"]
# DLLs every Windows 10 and 11 has: the exes must run from a bare folder.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "version.dll", "msvcrt.dll",
               "advapi32.dll", "shell32.dll", "ole32.dll", "ws2_32.dll"}
CAPTION_5 = "ランダムパートセレクト (PlayCount考慮)"
COPYRIGHT = "Copyright (c) 2026 the quillbox authors"
OBJDUMP = "x86_64-w64-mingw32-objdump"
WINDRES = "x86_64-w64-mingw32-windres"


def check_readme(data: bytes) -> list[str]:
    problems = []
    if not data.startswith(b"\xef\xbb\xbf"):
        problems.append("readme.txt: no UTF-8 byte order mark")
    if re.search(rb"(?<!\r)\n", data):
        problems.append("readme.txt: a line ends in LF without CR")
    if re.search(rb"\r(?!\n)", data):
        problems.append("readme.txt: a CR without LF")
    try:
        text = data.decode("utf-8-sig")
    except UnicodeDecodeError as e:
        return problems + [f"readme.txt: not UTF-8 ({e})"]
    for number, line in enumerate(text.split("\r\n"), 1):
        # Japanese prose takes full-width parentheses with no blank beside
        # them; only the window's own caption is quoted as it stands.
        prose = line.replace(CAPTION_5, "")
        if not prose.isascii() and re.search(r"[()]|\S （|） \S", prose):
            problems.append(f"readme.txt: line {number} breaks the parenthesis rule: {line.strip()}")
    found = [line[2:].strip() for line in text.split("\r\n") if line.startswith("■ ")]
    if found != HEADINGS:
        problems.append(f"readme.txt: sections {found}, wanted {HEADINGS}")
    return problems


def version_values(rc: str) -> dict[str, str]:
    """The StringFileInfo values of a decompiled resource script; windres
    writes text beyond ASCII as L"\\xNNNN" escapes."""
    values = {}
    for key, wide, value in re.findall(r'VALUE "(\w+)", (L?)"((?:[^"\\]|\\.)*)"', rc):
        if wide:
            value = re.sub(r"\\x([0-9a-fA-F]{4})", lambda m: chr(int(m.group(1), 16)), value)
        values[key] = value
    return values


def check_exe(name: str, path: Path) -> list[str]:
    problems = []
    headers = subprocess.run([OBJDUMP, "-p", str(path)], capture_output=True, text=True)
    if headers.returncode != 0:
        return [f"{name}: objdump cannot read it: {headers.stderr.strip()}"]
    dlls = {m.lower() for m in re.findall(r"DLL Name: (\S+)", headers.stdout)}
    if not dlls:
        problems.append(f"{name}: imports no DLL at all")
    for dll in sorted(dlls - SYSTEM_DLLS):
        problems.append(f"{name}: imports {dll}, which Windows does not ship")
    if not re.search(r"^Time/Date\s+Thu Jan  1 00:00:00 1970$", headers.stdout, re.M):
        problems.append(f"{name}: the PE header carries a link time")
    sections = subprocess.run([OBJDUMP, "-h", str(path)], capture_output=True, text=True).stdout
    if re.search(r"\s\.debug_\w+", sections):
        problems.append(f"{name}: has debug sections")
    resources = subprocess.run([WINDRES, "-i", str(path), "-O", "rc"], capture_output=True, text=True,
                               errors="replace").stdout
    description = "quillbox-report" if name == "quillbox-report.exe" else "くいるぼっくす！ dori-fen record chart"
    values = version_values(resources)
    for key, wanted in (("LegalCopyright", COPYRIGHT), ("FileDescription", description), ("OriginalFilename", name)):
        if values.get(key) != wanted:
            problems.append(f"{name}: version resource has {key} {values.get(key)!r}, wanted {wanted!r}")
    if "longPathAware" not in resources:
        problems.append(f"{name}: manifest lacks longPathAware")
    return problems


def top_folder(path: str) -> str:
    """quillbox-0.90.3 for quillbox-0.90.3-win64.zip."""
    name = Path(path).name
    return name[: -len("-win64.zip")] if name.endswith("-win64.zip") else Path(path).stem


def check_zip(path: str) -> list[str]:
    problems = []
    top = top_folder(path) + "/"
    with zipfile.ZipFile(path) as archive, tempfile.TemporaryDirectory() as tmp:
        names = archive.namelist()
        for name in names:
            if not name.isascii():
                problems.append(f"{name!r}: not an ASCII name")
        if len(names) != len(set(names)):
            problems.append("a name appears twice")
        # One folder and nothing beside it: extracted into the game's folder,
        # the zip must not replace the game's readme.txt or anything else.
        outside = [n for n in names if not n.startswith(top)]
        if outside:
            problems.append(f"{sorted(outside)} lie outside the one folder {top}")
        inside = {n[len(top):]: n for n in names if n.startswith(top) and n != top}
        if set(inside) != FILES:
            problems.append(f"{top} holds {sorted(inside)}, wanted exactly {sorted(FILES)}")

        def read(name: str) -> bytes:
            return archive.read(inside[name])

        if "readme.txt" in inside:
            problems += check_readme(read("readme.txt"))
        for text, wanted in (("LICENSE.txt", "MIT License"), ("THIRD-PARTY-NOTICES.txt", "GCC RUNTIME LIBRARY EXCEPTION")):
            if text in inside and (wanted not in read(text).decode("utf-8", "replace")):
                problems.append(f"{text}: lacks {wanted!r}")
        for exe in ("quillbox.exe", "quillbox-report.exe"):
            if exe in inside:
                target = Path(tmp) / exe
                target.write_bytes(read(exe))
                problems += check_exe(exe, target)
    return problems


def main() -> int:
    problems = check_zip(sys.argv[1])
    for p in problems:
        print(f"check: {p}")
    print(f"check: {sys.argv[1]}: {'ok' if not problems else f'{len(problems)} problems'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
