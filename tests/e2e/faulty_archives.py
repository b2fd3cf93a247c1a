"""Faulty payload archives for the test builds of the installer, and what each one holds.

    faulty_archives.py OUTPUT_DIR    writes faulty-<variant>.zip for every variant below

The archives are reproducible: fixed entry order, times, attributes and deflate level.
Every archive starts with harmless entries, so that a test can see whether anything at all
was written before the fault was met. Only the Python standard library is used.
"""

from __future__ import annotations

import io
import struct
import sys
import zipfile
from pathlib import Path

ENTRY_TIME = (2024, 3, 1, 12, 30, 0)

# Written before the faulty entry in every archive: a folder entry, a file in it, a file at
# the top. "ok.txt" also stands beside the alternate-stream name "ok.txt:stream".
HARMLESS = (
    ("Sub/", b""),
    ("Sub/fine.txt", b"harmless entry in a folder\r\n"),
    ("ok.txt", b"harmless entry at the top\r\n"),
)
# After the faulty entry.
AFTER = ("after.txt", b"entry behind the faulty one\r\n")

# Names the extraction refuses; an archive holding one of them must write nothing at all.
REFUSED = {
    "parent": "../evil.txt",
    "drive": "C:/evil.txt",
    "rooted": "/rooted.txt",
    "stream": "ok.txt:stream",
    "device": "Sub/NUL.txt",
}

# The entry whose CRC-32 is wrong in both headers, its data intact; large enough to be read
# through the copy buffer more than once.
BAD_CRC_NAME = "bad.txt"
BAD_CRC_DATA = b"".join(b"line %05d of the entry with the wrong checksum\r\n" % i
                        for i in range(2000))

VARIANTS = ("crc",) + tuple(REFUSED)


def entries(variant: str) -> list[tuple[str, bytes]]:
    """The entries of one variant's archive, in archive order."""
    faulty = (BAD_CRC_NAME, BAD_CRC_DATA) if variant == "crc" else (REFUSED[variant], b"evil\r\n")
    return [*HARMLESS, faulty, AFTER]


def _info(name: str) -> zipfile.ZipInfo:
    info = zipfile.ZipInfo(name, ENTRY_TIME)
    info.create_system = 0
    if name.endswith("/"):
        info.external_attr = 0x10
        info.compress_type = zipfile.ZIP_STORED
    else:
        info.external_attr = 0x20
        info.compress_type = zipfile.ZIP_DEFLATED
    return info


def _flip_crc(data: bytearray, name: str) -> None:
    """Inverts the CRC-32 of entry ``name`` in its local and its central header."""
    raw = name.encode("ascii")
    flipped = 0
    # (signature, offset of the CRC, of the name length, of the name)
    for signature, crc_at, length_at, name_at in ((b"PK\x03\x04", 14, 26, 30),
                                                  (b"PK\x01\x02", 16, 28, 46)):
        pos = data.find(signature)
        while pos >= 0:
            length = struct.unpack_from("<H", data, pos + length_at)[0]
            if data[pos + name_at:pos + name_at + length] == raw:
                crc = struct.unpack_from("<I", data, pos + crc_at)[0]
                struct.pack_into("<I", data, pos + crc_at, crc ^ 0xFFFFFFFF)
                flipped += 1
                break
            pos = data.find(signature, pos + 4)
    if flipped != 2:
        raise RuntimeError(f"headers of {name!r} not found")


def build(variant: str) -> bytes:
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for name, data in entries(variant):
            archive.writestr(_info(name), data, compresslevel=9)
    data = bytearray(buffer.getvalue())
    if variant == "crc":
        _flip_crc(data, BAD_CRC_NAME)
    return bytes(data)


def main() -> None:
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for variant in VARIANTS:
        target = folder / f"faulty-{variant}.zip"
        target.write_bytes(build(variant))


if __name__ == "__main__":
    main()
