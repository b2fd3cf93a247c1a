#!/usr/bin/env python3
"""Checks the payload archive.

    check_archive.py layout ARCHIVE
        lists it with `unzip -Z` and checks entries, methods, folder sizes, names and times,
        then the header fields that the listing does not show (comment, encryption, flags)
    check_archive.py reproducible BUILDER ARCHIVE --member KEY=PATH ...
        builds the archive twice from the same members into temporary files and checks that
        both runs and the archive of the build give the same bytes
    check_archive.py embedded INSTALLER ARCHIVE
        checks that the installer carries resource "ZIP" 1974 (German) with the archive's bytes
"""
import struct
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "res"))
from pe_reader import find_resource  # noqa: E402

RELIED_ON = [
    "p_moor32.exe", "pm_uninstall.exe", "p_about.txt", "p_changes.txt", "p_options.txt",
    "p_plugins.txt", "p_languages.txt", "Help/", "Help/p_moor32_deutsch.chm", "Plugins/",
    "Plugins/Icons.dll", "Languages/", "Languages/Deutsch.dll", "Toolbars/",
    "Toolbars/Quartz_16.png", "Toolbars/Ribbonet_24.png", "Toolbars/gnome-colors-wise_32.png",
    "Toolbars/gnome-colors-human_48.png",
]
FOLDERS = ["Help/", "Html/", "Languages/", "Plugins/", "Toolbars/"]
TOOLBARS = {"Toolbars/Quartz_16.png": 16, "Toolbars/Ribbonet_24.png": 24,
            "Toolbars/gnome-colors-wise_32.png": 32, "Toolbars/gnome-colors-human_48.png": 48}

failures = []


def expect(condition, message):
    if not condition:
        failures.append(message)


def listing(archive):
    """(attributes, origin, size, compressed size, method, time, name) per entry."""
    out = subprocess.run(["unzip", "-Z", "-l", "-T", str(archive)], check=True,
                         capture_output=True, text=True).stdout.splitlines()
    rows = []
    for line in out[2:-1]:  # archive name and summary line above, totals below
        fields = line.split(None, 8)
        expect(len(fields) == 9, f"unexpected listing line: {line!r}")
        if len(fields) == 9:
            attrs, _, origin, size, _, csize, method, when, name = fields
            rows.append((attrs, origin, int(size), int(csize), method, when, name))
    return out[1], rows


def check_layout(archive):
    summary, rows = listing(archive)
    expect("number of entries: 38" in summary, f"summary: {summary}")
    names = [row[-1] for row in rows]
    expect(len(names) == 38, f"{len(names)} entries")
    folders = [row for row in rows if row[-1].endswith("/")]
    files = [row for row in rows if not row[-1].endswith("/")]
    expect([row[-1] for row in folders] == FOLDERS, f"folders: {[row[-1] for row in folders]}")
    expect(len(files) == 33, f"{len(files)} files")
    for attrs, origin, size, csize, method, when, name in folders:
        expect(attrs.startswith("d") and method == "stor" and size == 0 and csize == 0,
               f"{name}: folder {attrs} {method} {size}/{csize}")
    for attrs, origin, size, csize, method, when, name in files:
        expect(method.startswith("def") and size > 0, f"{name}: {method}, {size} bytes")
    for attrs, origin, size, csize, method, when, name in rows:
        expect(origin == "fat", f"{name}: origin {origin}")
        expect(when.startswith("2021"), f"{name}: time {when}")
        expect(len(name) <= 64 and name.isascii() and "\\" not in name, f"{name}: bad name")
        parent = name.rstrip("/").rpartition("/")[0]
        expect(not parent or parent + "/" in names[:names.index(name)],
               f"{name}: folder entry missing or after it")
    for name in RELIED_ON:
        expect(name in names, f"{name} missing")
    expect(sum("icons.dll" in n.lower() for n in names) == 1, "not exactly one name holding icons.dll")

    data = Path(archive).read_bytes()
    expect(data[-22:-18] == b"PK\x05\x06" and data[-2:] == b"\x00\x00", "archive comment present")
    with zipfile.ZipFile(archive) as z:
        for info in z.infolist():
            expect(info.flag_bits == 0, f"{info.filename}: flag bits {info.flag_bits:#x}")
            expect(not info.extra, f"{info.filename}: extra field")
        expect(z.testzip() is None, "CRC error")
        for name, height in TOOLBARS.items():
            if name not in names:
                continue
            png = z.read(name)
            width, h = struct.unpack(">II", png[16:24])
            expect(png[:8] == b"\x89PNG\r\n\x1a\n" and h == height and width % height == 0,
                   f"{name}: {width}x{h}")
        for name in ("p_moor32.exe", "pm_uninstall.exe", "Plugins/Icons.dll"):
            expect(name in names and z.read(name)[:2] == b"MZ", f"{name}: not a program")
        for name in names:
            if name.endswith((".txt", ".htm")):
                text = z.read(name)
                expect(b"\r\n" in text and b"\n" not in text.replace(b"\r\n", b""),
                       f"{name}: line ends are not CRLF")
                text.decode("cp1252")


def check_reproducible(builder, archive, members):
    with tempfile.TemporaryDirectory() as tmp:
        outputs = []
        for run in ("first", "second"):
            out = Path(tmp) / f"{run}.zip"
            subprocess.run([sys.executable, builder, *members, "--output", str(out)], check=True)
            outputs.append(out.read_bytes())
    expect(outputs[0] == outputs[1], "two runs gave different archives")
    expect(outputs[0] == Path(archive).read_bytes(), "the build's archive differs from a new run")


def check_embedded(installer, archive):
    try:
        data, lang = find_resource(Path(installer).read_bytes(), "ZIP", 1974)
    except KeyError as missing:
        expect(False, str(missing))
        return
    expect(lang == 0x0C07, f"language {lang:#x}")
    expect(data == Path(archive).read_bytes(), "resource bytes differ from the archive")


def main(argv):
    if len(argv) >= 3 and argv[1] == "layout":
        check_layout(argv[2])
    elif len(argv) >= 4 and argv[1] == "reproducible":
        check_reproducible(argv[2], argv[3], argv[4:])
    elif len(argv) == 4 and argv[1] == "embedded":
        check_embedded(argv[2], argv[3])
    else:
        sys.exit(__doc__)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
