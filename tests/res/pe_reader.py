"""A small reader of 32-bit PE files: headers, sections, imports and the resource tree.

Only what the installer's checks need; every read is bounds-checked, so a damaged file gives
a PeError rather than a wrong answer.
"""

import struct

IMAGE_FILE_MACHINE_I386 = 0x014C
IMAGE_NT_OPTIONAL_HDR32_MAGIC = 0x10B
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2

RT_ICON, RT_BITMAP, RT_STRING, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 6, 14, 16, 24

DIR_IMPORT, DIR_RESOURCE, DIR_DEBUG = 1, 2, 6


class PeError(Exception):
    pass


class Section:
    def __init__(self, name, vaddr, vsize, raw_ptr, raw_size):
        self.name, self.vaddr, self.vsize = name, vaddr, vsize
        self.raw_ptr, self.raw_size = raw_ptr, raw_size


class Resource:
    """One leaf of the resource tree: type, name and language with its data."""

    def __init__(self, rtype, name, lang, data, dir_time_stamps):
        self.type, self.name, self.lang, self.data = rtype, name, lang, data
        self.dir_time_stamps = dir_time_stamps

    def __repr__(self):
        return f"Resource({self.type!r}, {self.name!r}, 0x{self.lang:04X}, {len(self.data)} bytes)"


class PeFile:
    def __init__(self, data):
        self.data = data
        if self._u16(0) != 0x5A4D:
            raise PeError("no MZ header")
        pe = self._u32(0x3C)
        if self._bytes(pe, 4) != b"PE\0\0":
            raise PeError("no PE signature")
        (self.machine, nsections, self.time_stamp, self.symbol_table, self.symbol_count,
         opt_size, self.characteristics) = struct.unpack_from("<HHIIIHH", self._bytes(pe + 4, 20))
        opt = pe + 24
        self.magic = self._u16(opt)
        if self.magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC:
            raise PeError(f"not PE32 (optional header magic 0x{self.magic:X})")
        self.image_base = self._u32(opt + 28)
        self.subsystem = self._u16(opt + 68)
        self.dll_characteristics = self._u16(opt + 70)
        ndirs = self._u32(opt + 92)
        self.directories = [struct.unpack_from("<II", self._bytes(opt + 96 + 8 * i, 8))
                            for i in range(min(ndirs, 16))]
        self.sections = []
        sec = opt + opt_size
        for i in range(nsections):
            raw = self._bytes(sec + 40 * i, 40)
            name = raw[:8].rstrip(b"\0").decode("latin-1")
            vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<IIII", raw, 8)
            self.sections.append(Section(name, vaddr, vsize, raw_ptr, raw_size))

    # -- raw access ------------------------------------------------------------------------

    def _bytes(self, off, n):
        if off < 0 or n < 0 or off + n > len(self.data):
            raise PeError(f"read of {n} bytes at 0x{off:X} runs past the end of the file")
        return self.data[off:off + n]

    def _u16(self, off):
        return struct.unpack("<H", self._bytes(off, 2))[0]

    def _u32(self, off):
        return struct.unpack("<I", self._bytes(off, 4))[0]

    def rva_to_offset(self, rva):
        for s in self.sections:
            if s.vaddr <= rva < s.vaddr + max(s.vsize, s.raw_size):
                if rva - s.vaddr >= s.raw_size:
                    raise PeError(f"RVA 0x{rva:X} lies in the uninitialised part of {s.name}")
                return s.raw_ptr + rva - s.vaddr
        raise PeError(f"RVA 0x{rva:X} lies in no section")

    def read_rva(self, rva, n):
        return self._bytes(self.rva_to_offset(rva), n)

    def cstring_rva(self, rva):
        off = self.rva_to_offset(rva)
        end = self.data.find(b"\0", off)
        if end < 0:
            raise PeError(f"unterminated string at RVA 0x{rva:X}")
        return self.data[off:end].decode("latin-1")

    # -- imports ---------------------------------------------------------------------------

    def imported_dlls(self):
        """Names of the DLLs in the import directory, in table order."""
        rva, size = self.directories[DIR_IMPORT]
        names = []
        if rva == 0:
            return names
        pos = rva
        while True:
            desc = self.read_rva(pos, 20)
            if desc == bytes(20):
                return names
            names.append(self.cstring_rva(struct.unpack_from("<I", desc, 12)[0]))
            pos += 20

    # -- resources -------------------------------------------------------------------------

    def resources(self):
        """Every leaf of the resource tree; ids as ints, names as str."""
        rva, _ = self.directories[DIR_RESOURCE]
        if rva == 0:
            return []
        out = []

        def entries(dir_rva):
            head = self.read_rva(rva + dir_rva, 16)
            stamp, n_named, n_ids = struct.unpack_from("<I", head, 4)[0], *struct.unpack_from("<HH", head, 12)
            for i in range(n_named + n_ids):
                name, target = struct.unpack("<II", self.read_rva(rva + dir_rva + 16 + 8 * i, 8))
                if name & 0x80000000:
                    soff = rva + (name & 0x7FFFFFFF)
                    length = struct.unpack("<H", self.read_rva(soff, 2))[0]
                    key = self.read_rva(soff + 2, 2 * length).decode("utf-16-le")
                else:
                    key = name
                yield key, target, stamp

        for rtype, t1, s0 in entries(0):
            if not t1 & 0x80000000:
                raise PeError("resource type entry is not a directory")
            for name, t2, s1 in entries(t1 & 0x7FFFFFFF):
                if not t2 & 0x80000000:
                    raise PeError("resource name entry is not a directory")
                for lang, t3, s2 in entries(t2 & 0x7FFFFFFF):
                    if t3 & 0x80000000:
                        raise PeError("resource language entry is not a data entry")
                    data_rva, size = struct.unpack("<II", self.read_rva(rva + t3, 8))
                    out.append(Resource(rtype, name, lang, self.read_rva(data_rva, size), (s0, s1, s2)))
        return out


def find_resource(image, rtype, name):
    """Data and language of the one resource of that type and name in the image bytes."""
    found = [r for r in PeFile(image).resources() if r.type == rtype and r.name == name]
    if len(found) != 1:
        raise KeyError(f"{len(found)} resources {rtype} {name}")
    return found[0].data, found[0].lang


# -- resource formats ------------------------------------------------------------------------

def string_table_entries(resources):
    """{id: (text, language)} from every RT_STRING block."""
    out = {}
    for r in resources:
        if r.type != RT_STRING:
            continue
        pos = 0
        for i in range(16):
            if pos + 2 > len(r.data):
                raise PeError(f"string block {r.name} is truncated")
            n = struct.unpack_from("<H", r.data, pos)[0]
            text = r.data[pos + 2:pos + 2 + 2 * n]
            if len(text) != 2 * n:
                raise PeError(f"string block {r.name} is truncated")
            pos += 2 + 2 * n
            if n:
                out[(r.name - 1) * 16 + i] = (text.decode("utf-16-le"), r.lang)
    return out


class VersionNode:
    def __init__(self, key, value_type, value, children):
        self.key, self.type, self.value, self.children = key, value_type, value, children

    def child(self, key):
        found = [c for c in self.children if c.key == key]
        if len(found) != 1:
            raise PeError(f"version block: {len(found)} entries named {key!r} under {self.key!r}")
        return found[0]


def parse_version_node(data, pos=0):
    """One VS_VERSIONINFO-style node: length, value length, type, key, value, children."""
    if pos + 6 > len(data):
        raise PeError("version block is truncated")
    length, value_len, value_type = struct.unpack_from("<HHH", data, pos)
    end = pos + length
    if length < 6 or end > len(data):
        raise PeError("version node length out of range")
    k = pos + 6
    while True:
        if k + 2 > end:
            raise PeError("version key is unterminated")
        if data[k:k + 2] == b"\0\0":
            break
        k += 2
    key = data[pos + 6:k].decode("utf-16-le")
    v = (k + 2 + 3) & ~3
    # For text values wValueLength counts characters (with the null), else bytes.
    vbytes = value_len * 2 if value_type == 1 else value_len
    value = data[v:v + vbytes]
    if v + vbytes > end:
        raise PeError(f"version value of {key!r} runs past its node")
    children = []
    c = (v + vbytes + 3) & ~3
    while c < end:
        node, c_end = parse_version_node(data, c)
        children.append(node)
        c = (c_end + 3) & ~3
    return VersionNode(key, value_type, value, children), end
