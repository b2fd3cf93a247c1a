#!/usr/bin/env python3
"""Builds the sample viewer installation as a zip archive, reproducibly.

    build_payload.py --member KEY=PATH ... --output ARCHIVE
        writes the archive; KEY names a built program (see BUILT below)
    build_payload.py --list
        prints the entry names in archive order, one a line
    build_payload.py --pad FILE SIZE
        appends zero bytes to FILE until it is SIZE bytes long (refuses a larger file)

Every entry of the archive comes from the manifest below: its name, where its bytes come
from and its DOS date and time. The same sources give the same archive, byte for byte:
the order, times, attributes and header fields are fixed, texts are normalised to
Windows-1252 with CRLF line ends (so git's line-ending settings do not leak in), generated
images depend on nothing but their parameters, and deflate runs at level 9.
"""
import argparse
import io
import struct
import sys
import zipfile
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
CONTENT = HERE / "content"

# The installer reads names of at most this many characters (and converts them to UTF-16).
MAX_NAME = 64
FOLDERS, FILES = 5, 33

# Built programs handed in with --member KEY=PATH.
BUILT = ("p_moor32.exe", "pm_uninstall.exe", "Icons.dll")

# Entry times: the programs carry the release time, the documents an earlier one.
T_PROGRAM = (2021, 12, 1, 4, 59, 0)
T_DOCS = (2021, 11, 30, 18, 42, 10)
T_DATA = (2021, 11, 28, 9, 15, 32)
T_FOLDER = (2021, 12, 1, 5, 0, 4)

# (entry name, source, date and time). A source is ("built", key), ("text", file under
# content/), ("png", height) for a toolbar strip, or ("placeholder", what it stands for).
# Folder entries end in "/" and have no source.
MANIFEST = [
    ("p_moor32.exe", ("built", "p_moor32.exe"), T_PROGRAM),
    ("pm_uninstall.exe", ("built", "pm_uninstall.exe"), T_PROGRAM),
    ("p_moor32.chm", ("placeholder", "Hilfedatei von Pixelmoor"), T_DOCS),
    ("p_about.txt", ("text", "p_about.txt"), T_DOCS),
    ("p_changes.txt", ("text", "p_changes.txt"), T_DOCS),
    ("p_options.txt", ("text", "p_options.txt"), T_DOCS),
    ("p_plugins.txt", ("text", "p_plugins.txt"), T_DOCS),
    ("p_languages.txt", ("text", "p_languages.txt"), T_DOCS),
    ("p_liesmich.txt", ("text", "p_liesmich.txt"), T_DOCS),
    ("Help/", None, T_FOLDER),
    ("Help/p_moor32_deutsch.chm", ("placeholder", "deutsche Hilfedatei von Pixelmoor"), T_DOCS),
    ("Html/", None, T_FOLDER),
    ("Html/index.htm", ("text", "Html/index.htm"), T_DATA),
    ("Html/thumbnails.htm", ("text", "Html/thumbnails.htm"), T_DATA),
    ("Html/slideshow.htm", ("text", "Html/slideshow.htm"), T_DATA),
    ("Html/image.htm", ("text", "Html/image.htm"), T_DATA),
    ("Languages/", None, T_FOLDER),
    ("Languages/Deutsch.dll", ("placeholder", "deutsche Sprachdatei"), T_PROGRAM),
    ("Languages/Deutsch.lng", ("text", "Languages/Deutsch.lng"), T_DATA),
    ("Plugins/", None, T_FOLDER),
    ("Plugins/Icons.dll", ("built", "Icons.dll"), T_PROGRAM),
    ("Plugins/Formats.dll", ("placeholder", "PlugIn mit weiteren Bildformaten"), T_PROGRAM),
    ("Plugins/Jpeg2000.dll", ("placeholder", "JPEG-2000-PlugIn"), T_PROGRAM),
    ("Plugins/Webp.dll", ("placeholder", "WebP-PlugIn"), T_PROGRAM),
    ("Plugins/Raw.dll", ("placeholder", "PlugIn für Kamera-Rohdaten"), T_PROGRAM),
    ("Plugins/Effects.dll", ("placeholder", "Effekt-PlugIn"), T_PROGRAM),
    ("Plugins/Media.dll", ("placeholder", "Audio- und Video-PlugIn"), T_PROGRAM),
    ("Plugins/Metadata.dll", ("placeholder", "EXIF- und IPTC-PlugIn"), T_PROGRAM),
    ("Plugins/Capture.exe", ("placeholder", "Bildschirmfoto-Programm"), T_PROGRAM),
    ("Toolbars/", None, T_FOLDER),
    ("Toolbars/Quartz_16.png", ("png", 16), T_DATA),
    ("Toolbars/Quartz_16.txt", ("text", "Toolbars/Quartz_16.txt"), T_DATA),
    ("Toolbars/Ribbonet_24.png", ("png", 24), T_DATA),
    ("Toolbars/Ribbonet_24.txt", ("text", "Toolbars/Ribbonet_24.txt"), T_DATA),
    ("Toolbars/gnome-colors-wise_32.png", ("png", 32), T_DATA),
    ("Toolbars/gnome-colors-wise_32.txt", ("text", "Toolbars/gnome-colors-wise_32.txt"), T_DATA),
    ("Toolbars/gnome-colors-human_48.png", ("png", 48), T_DATA),
    ("Toolbars/gnome-colors-human_48.txt", ("text", "Toolbars/gnome-colors-human_48.txt"), T_DATA),
]

# Buttons of a toolbar strip, each a square of the strip's height.
TOOLBAR_BUTTONS = 12


class ManifestError(Exception):
    pass


def check_manifest():
    names = [name for name, _, _ in MANIFEST]
    if len(set(n.lower() for n in names)) != len(names):
        raise ManifestError("duplicate entry name")
    folders = [n for n in names if n.endswith("/")]
    if len(folders) != FOLDERS or len(names) - len(folders) != FILES:
        raise ManifestError(f"{len(folders)} folders and {len(names) - len(folders)} files, "
                            f"expected {FOLDERS} and {FILES}")
    seen = set()
    for name, source, when in MANIFEST:
        if len(name) > MAX_NAME:
            raise ManifestError(f"{name}: longer than {MAX_NAME} characters")
        if not name.isascii() or "\\" in name or name.startswith("/") or ".." in name.split("/"):
            raise ManifestError(f"{name}: names are ASCII and relative, with '/' separators")
        if (source is None) != name.endswith("/"):
            raise ManifestError(f"{name}: folders have no source, files have one")
        if when[0] < 1980 or when[5] % 2:
            raise ManifestError(f"{name}: not a DOS date and time")
        parent = name.rstrip("/").rpartition("/")[0]
        if parent and parent + "/" not in seen:
            raise ManifestError(f"{name}: its folder entry must come first")
        if "icons.dll" in name.lower() and name != "Plugins/Icons.dll":
            # The installer may skip every entry whose name holds this text.
            raise ManifestError(f"{name}: only the icon library may be named like it")
        seen.add(name)


def text_bytes(relative):
    """A UTF-8 source text as Windows-1252 with CRLF line ends."""
    text = (CONTENT / relative).read_text(encoding="utf-8")
    text = text.replace("\r\n", "\n").replace("\n", "\r\n")
    return text.encode("cp1252")


def placeholder_bytes(name, what):
    text = (f"Pixelmoor-Beispielpaket: Platzhalter für {name} ({what}).\r\n"
            "Diese Datei gehört zum Beispielpaket und enthält kein Programm.\r\n")
    return text.encode("cp1252")


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def png_bytes(width, height, rows):
    """8-bit RGBA PNG from rows of bytes (4 bytes a pixel), filter type 0 on every row."""
    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr)
            + png_chunk(b"IDAT", zlib.compress(raw, 9)) + png_chunk(b"IEND", b""))


def toolbar_png(height):
    """A strip of TOOLBAR_BUTTONS square buttons, each with its own colour and glyph."""
    width = height * TOOLBAR_BUTTONS
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            button, bx = divmod(x, height)
            hue = (button * 37 + height) % 256
            r, g, b = hue, (255 - hue + button * 11) % 256, (button * 71 + 90) % 256
            margin = max(1, height // 8)
            inside = margin <= bx < height - margin and margin <= y < height - margin
            # Glyph: a diagonal or a cross depending on the button.
            c = height // 2
            glyph = (abs(bx - y) <= height // 12 if button % 2 == 0
                     else abs(bx - c) <= height // 12 or abs(y - c) <= height // 12)
            if not inside:
                row += bytes((0, 0, 0, 0))
            elif glyph:
                row += bytes((255, 255, 255, 255))
            else:
                row += bytes((r, g, b, 255))
        rows.append(row)
    return png_bytes(width, height, rows)


def entry_bytes(name, source, built):
    kind, arg = source
    if kind == "built":
        return Path(built[arg]).read_bytes()
    if kind == "text":
        return text_bytes(arg)
    if kind == "png":
        return toolbar_png(arg)
    if kind == "placeholder":
        return placeholder_bytes(name, arg)
    raise ManifestError(f"{name}: unknown source {kind}")


def archive_bytes(built):
    check_manifest()
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as archive:
        for name, source, when in MANIFEST:
            info = zipfile.ZipInfo(name, when)
            info.create_system = 0  # MS-DOS attributes, whatever the build host
            info.create_version = 20
            info.extract_version = 10 if source is None else 20
            info.flag_bits = 0
            info.comment = b""
            info.extra = b""
            if source is None:
                info.external_attr = 0x10  # directory
                info.compress_type = zipfile.ZIP_STORED
                archive.writestr(info, b"")
            else:
                info.external_attr = 0x20  # archive bit
                info.compress_type = zipfile.ZIP_DEFLATED
                archive.writestr(info, entry_bytes(name, source, built),
                                 compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
        archive.comment = b""
    return out.getvalue()


def write_atomically(path, data):
    path = Path(path)
    tmp = path.with_name(path.name + ".tmp")
    tmp.write_bytes(data)
    tmp.replace(path)


def pad(path, size):
    path = Path(path)
    data = path.read_bytes()
    if len(data) > size:
        raise ManifestError(f"{path.name} is {len(data)} bytes, more than {size}")
    if len(data) < size:
        path.write_bytes(data + bytes(size - len(data)))


def main(argv):
    parser = argparse.ArgumentParser(description="Builds the sample viewer archive.")
    parser.add_argument("--member", action="append", default=[], metavar="KEY=PATH")
    parser.add_argument("--output")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--pad", nargs=2, metavar=("FILE", "SIZE"))
    args = parser.parse_args(argv)
    try:
        if args.list:
            check_manifest()
            for name, _, _ in MANIFEST:
                print(name)
            return 0
        if args.pad:
            pad(args.pad[0], int(args.pad[1], 0))
            return 0
        built = {}
        for item in args.member:
            key, sep, path = item.partition("=")
            if not sep or key not in BUILT:
                raise ManifestError(f"--member {item}: expected one of {', '.join(BUILT)}=PATH")
            built[key] = path
        missing = [key for key in BUILT if key not in built]
        if missing or not args.output:
            raise ManifestError("needs --output and --member for " + ", ".join(missing or BUILT))
        write_atomically(args.output, archive_bytes(built))
        return 0
    except (ManifestError, OSError, UnicodeError) as error:
        print(f"build_payload.py: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
