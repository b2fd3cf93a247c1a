"""Pads a file with zero bytes to an exact size (for the icon-library size rule tests)."""
import sys

path, size = sys.argv[1], int(sys.argv[2])
with open(path, "rb") as f:
    data = f.read()
if len(data) > size:
    sys.exit(f"{path} is already {len(data)} bytes, more than {size}")
with open(path, "ab") as f:
    f.write(bytes(size - len(data)))
