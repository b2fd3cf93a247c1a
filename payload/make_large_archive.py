#!/usr/bin/env python3
"""Writes a large zip archive for the extraction benchmark, the same bytes on every run:
deflated members of incompressible (pseudo-random) and compressible (repetitive text) data,
folders with and without directory entries. Usage: make_large_archive.py OUT.zip [MEGABYTES]"""

import random
import sys
import zipfile

DATE = (2024, 3, 1, 12, 0, 0)


def main() -> None:
    out = sys.argv[1]
    total_mb = int(sys.argv[2]) if len(sys.argv) > 2 else 240
    rng = random.Random(1974)
    words = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
             for _ in range(500)]
    written = 0
    index = 0
    with zipfile.ZipFile(out, "w") as archive:
        for folder in ("bin/", "data/"):
            archive.writestr(zipfile.ZipInfo(folder, DATE), b"")
        while written < total_mb * 1024 * 1024:
            size = rng.randint(1, 12) * 1024 * 1024 + rng.randint(0, 65535)
            if index % 2 == 0:
                name = f"bin/blob{index:03}.bin"
                data = rng.randbytes(size)
                level = 1
            else:
                name = f"data/text/part{index:03}.txt"  # no directory entry of its own
                line = b" ".join(rng.choice(words) for _ in range(14)) + b"\r\n"
                data = (line * (size // len(line) + 1))[:size]
                level = 6
            info = zipfile.ZipInfo(name, DATE)
            info.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(info, data, compresslevel=level)
            # The archive grows by what the data compresses to: count the stored size.
            written += archive.getinfo(name).compress_size
            index += 1


if __name__ == "__main__":
    main()
