#!/usr/bin/env python3
"""Checks of the built installer executable: PE headers, imports, stripping and every resource.

Environment:
  PM_SETUP_EXE        the installer
  PM_EXPECTED_TEXTS   expected_texts.txt
  PM_BUILD_PATHS      folders (separated by ":") whose names must not appear in the file
"""

import os
import re
import struct
import sys
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import pe_reader as pe  # noqa: E402

GERMAN = 0x0C07
ENGLISH_US = 0x0409

# System DLLs that every supported Windows has; the installer may import these and no other.
ALLOWED_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "shlwapi.dll", "msvcrt.dll",
}
# Loaded at run time by full path, because they may be missing or must not be found through
# the search path.
RUNTIME_ONLY_DLLS = {"version.dll", "uxtheme.dll"}


def load_expected_texts(path):
    """{key: text} from the shared file of expected texts."""
    out = {}
    escapes = {"n": "\n", "t": "\t", "\\": "\\"}
    for number, line in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        if not line or line.startswith("#"):
            continue
        key, sep, raw = line.partition("\t")
        if not sep:
            raise ValueError(f"{path}:{number}: no tab after the key")
        out[key] = re.sub(r"\\(.)", lambda m: escapes[m.group(1)], raw)
    return out


EXE = Path(os.environ["PM_SETUP_EXE"])
TEXTS = load_expected_texts(os.environ["PM_EXPECTED_TEXTS"])
IMAGE = pe.PeFile(EXE.read_bytes())
RESOURCES = IMAGE.resources()


def one_resource(rtype, name):
    found = [r for r in RESOURCES if r.type == rtype and r.name == name]
    if len(found) != 1:
        raise AssertionError(f"expected one resource {rtype!r}/{name!r}, found {found}")
    return found[0]


class Headers(unittest.TestCase):
    def test_pe32_gui_for_i386(self):
        self.assertEqual(IMAGE.magic, pe.IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        self.assertEqual(IMAGE.machine, pe.IMAGE_FILE_MACHINE_I386)
        self.assertEqual(IMAGE.subsystem, pe.IMAGE_SUBSYSTEM_WINDOWS_GUI)
        self.assertTrue(IMAGE.characteristics & 0x0002, "not marked executable")
        self.assertFalse(IMAGE.characteristics & 0x2000, "marked as a DLL")

    def test_stripped_and_reproducible(self):
        self.assertEqual((IMAGE.symbol_table, IMAGE.symbol_count), (0, 0), "COFF symbols left")
        names = [s.name for s in IMAGE.sections]
        self.assertFalse([n for n in names if n.startswith((".debug", "/"))], names)
        self.assertEqual(IMAGE.directories[pe.DIR_DEBUG], (0, 0), "debug directory present")
        self.assertEqual(IMAGE.time_stamp, 0, "link time stamp in the COFF header")
        for r in RESOURCES:
            self.assertEqual(r.dir_time_stamps, (0, 0, 0), f"time stamp in the directory of {r}")

    def test_no_build_path_in_file(self):
        data = IMAGE.data
        for folder in filter(None, os.environ.get("PM_BUILD_PATHS", "").split(":")):
            folder = folder.rstrip("/")
            for form in (folder, folder.replace("/", "\\")):
                for enc in ("latin-1", "utf-16-le"):
                    self.assertNotIn(form.encode(enc), data, f"{form!r} ({enc}) is in the file")


class Imports(unittest.TestCase):
    def test_only_system_dlls(self):
        dlls = [d.lower() for d in IMAGE.imported_dlls()]
        self.assertIn("kernel32.dll", dlls)
        self.assertEqual(len(dlls), len(set(dlls)), dlls)
        self.assertFalse(set(dlls) & RUNTIME_ONLY_DLLS, f"imports a run-time-only DLL: {dlls}")
        self.assertFalse(set(dlls) - ALLOWED_DLLS, f"imports a non-system DLL: {dlls}")


class Inventory(unittest.TestCase):
    def test_languages_and_uniqueness(self):
        expected = {
            (pe.RT_GROUP_ICON, 111): GERMAN,
            (pe.RT_BITMAP, 113): GERMAN,
            ("TXT", 217): GERMAN,
            (pe.RT_VERSION, 1): GERMAN,
            (pe.RT_MANIFEST, 1): ENGLISH_US,
        }
        for (rtype, name), lang in expected.items():
            with self.subTest(type=rtype, name=name):
                self.assertEqual(one_resource(rtype, name).lang, lang)
        for r in RESOURCES:
            if r.type in (pe.RT_STRING, pe.RT_ICON):
                self.assertEqual(r.lang, GERMAN, r)
        # Resources that come from other resource scripts: where they are linked in, they must
        # carry their ids and languages too (payload German, page templates English).
        for r in RESOURCES:
            if r.type == "ZIP":
                self.assertEqual((r.name, r.lang), (1974, GERMAN), r)
            if r.type == 5:  # RT_DIALOG
                self.assertIn(r.name, (101, 104, 108, 109, 110), r)
                self.assertEqual(r.lang, ENGLISH_US, r)
        keys = [(r.type, r.name) for r in RESOURCES]
        self.assertEqual(len(keys), len(set(keys)), "a resource id exists in two languages")
        self.assertEqual([r.name for r in RESOURCES if r.type == pe.RT_MANIFEST], [1])


class StringTable(unittest.TestCase):
    def test_every_message(self):
        table = pe.string_table_entries(RESOURCES)
        expected = {int(k.split(".")[1]): v for k, v in TEXTS.items() if k.startswith("string.")}
        self.assertEqual(sorted(table), sorted(expected), "ids in the table")
        for sid, text in expected.items():
            with self.subTest(id=sid):
                self.assertEqual(table[sid], (text, GERMAN))


class VersionBlock(unittest.TestCase):
    def setUp(self):
        self.root, _ = pe.parse_version_node(one_resource(pe.RT_VERSION, 1).data)

    def test_fixed_part(self):
        self.assertEqual(self.root.key, "VS_VERSION_INFO")
        fixed = struct.unpack("<13I", self.root.value)
        (sig, struct_ver, fv_ms, fv_ls, pv_ms, pv_ls, mask, flags, os_, ftype, subtype,
         date_ms, date_ls) = fixed
        self.assertEqual(sig, 0xFEEF04BD)
        self.assertEqual((fv_ms, fv_ls, pv_ms, pv_ls), (4 << 16 | 59, 0, 4 << 16 | 59, 0))
        self.assertEqual((mask, flags), (0x3F, 0))
        self.assertEqual(os_, 0x00040004)  # VOS_NT_WINDOWS32
        self.assertEqual((ftype, subtype), (1, 0))  # VFT_APP
        self.assertEqual((date_ms, date_ls), (0, 0))

    def test_strings_and_translation(self):
        block = self.root.child("StringFileInfo").child("0c0704b0")
        values = {}
        for node in block.children:
            self.assertEqual(node.type, 1, node.key)
            text = node.value.decode("utf-16-le")
            self.assertTrue(text.endswith("\0"), f"{node.key} is not null-terminated")
            values[node.key] = text[:-1]
        expected = {k.split(".", 1)[1]: v for k, v in TEXTS.items() if k.startswith("version.")}
        self.assertEqual(values, expected)
        self.assertEqual(len(self.root.child("StringFileInfo").children), 1)
        translation = self.root.child("VarFileInfo").child("Translation")
        self.assertEqual(struct.unpack("<HH", translation.value), (GERMAN, 1200))


class Manifest(unittest.TestCase):
    ASM1 = "{urn:schemas-microsoft-com:asm.v1}"
    ASM3 = "{urn:schemas-microsoft-com:asm.v3}"
    WS2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"

    def setUp(self):
        self.xml = one_resource(pe.RT_MANIFEST, 1).data
        self.root = ET.fromstring(self.xml)

    def only(self, parent, path):
        found = parent.findall(path)
        self.assertEqual(len(found), 1, path)
        return found[0]

    def test_identity_and_description(self):
        self.assertTrue(self.xml.startswith(b"<?xml"), "no XML declaration or a byte-order mark")
        self.xml.decode("utf-8")
        self.assertEqual(self.root.tag, self.ASM1 + "assembly")
        self.assertEqual(self.root.get("manifestVersion"), "1.0")
        ident = self.only(self.root, self.ASM1 + "assemblyIdentity")
        self.assertEqual(ident.attrib, {"version": "1.0.0.0", "processorArchitecture": "*",
                                        "name": "Pixelmoor", "type": "win32"})
        desc = self.only(self.root, self.ASM1 + "description")
        self.assertEqual(desc.text, "Pixelmoor - Universal picture viewer")

    def test_execution_level(self):
        level = self.only(self.root, f"{self.ASM3}trustInfo/{self.ASM3}security/"
                          f"{self.ASM3}requestedPrivileges/{self.ASM3}requestedExecutionLevel")
        self.assertEqual(level.attrib, {"level": "highestAvailable"}, "uiAccess must be absent")

    def test_common_controls(self):
        dep = self.only(self.root, f"{self.ASM1}dependency/{self.ASM1}dependentAssembly/"
                        f"{self.ASM1}assemblyIdentity")
        self.assertEqual(dep.attrib, {
            "type": "win32", "name": "Microsoft.Windows.Common-Controls", "version": "6.0.0.0",
            "processorArchitecture": "*", "publicKeyToken": "6595b64144ccf1df", "language": "*"})
        self.assertEqual(len(self.root.findall(self.ASM1 + "dependency")), 1)

    def test_dpi_awareness_and_no_compatibility(self):
        dpi = self.only(self.root, f"{self.ASM3}application/{self.ASM3}windowsSettings/"
                        f"{self.WS2005}dpiAware")
        self.assertEqual(dpi.text, "True/PM")
        local_names = {el.tag.rsplit("}", 1)[-1] for el in self.root.iter()}
        self.assertNotIn("compatibility", local_names)
        self.assertNotIn("supportedOS", local_names)
        self.assertNotIn("dpiAwareness", local_names)


class Icon(unittest.TestCase):
    def test_group_of_two_8bpp_images_with_mask(self):
        group = one_resource(pe.RT_GROUP_ICON, 111)
        reserved, kind, count = struct.unpack_from("<HHH", group.data)
        self.assertEqual((reserved, kind, count), (0, 1, 2))
        self.assertEqual(len(group.data), 6 + 14 * count)
        sizes = []
        for i in range(count):
            w, h, colours, _, planes, bpp, nbytes, icon_id = struct.unpack_from(
                "<BBBBHHIH", group.data, 6 + 14 * i)
            sizes.append((w, h))
            self.assertEqual((colours, planes, bpp), (0, 1, 8))
            image = one_resource(pe.RT_ICON, icon_id).data
            self.assertEqual(len(image), nbytes)
            hsize, bw, bh, bplanes, bbpp, comp = struct.unpack_from("<IiiHHI", image)
            self.assertEqual((hsize, bw, bh, bplanes, bbpp, comp), (40, w, 2 * h, 1, 8, 0))
            xor_size = ((w + 3) & ~3) * h
            and_stride = ((w + 31) // 32) * 4
            self.assertEqual(nbytes, 40 + 256 * 4 + xor_size + and_stride * h)
            mask = image[40 + 1024 + xor_size:]
            self.assertTrue(any(mask), "the AND mask makes nothing transparent")
            self.assertTrue(any(b != 0xFF for b in mask), "the AND mask hides the picture")
        self.assertEqual(sizes, [(32, 32), (16, 16)])


class Bitmap(unittest.TestCase):
    def test_logo_88x31_4bpp_uncompressed(self):
        data = one_resource(pe.RT_BITMAP, 113).data
        hsize, w, h, planes, bpp, comp, _, _, _, used, _ = struct.unpack_from("<IiiHHIIiiII", data)
        self.assertEqual((hsize, w, h, planes, bpp, comp), (40, 88, 31, 1, 4, 0))
        self.assertIn(used, (0, 16))
        self.assertEqual(len(data), 40 + 16 * 4 + 44 * 31)


class WhatsNew(unittest.TestCase):
    def setUp(self):
        self.data = one_resource("TXT", 217).data

    def test_encoding(self):
        self.assertEqual(len(self.data), 2520)
        self.assertEqual(self.data[:2], b"\xff\xfe")
        self.assertFalse(self.data.endswith(b"\0\0"), "terminating null")
        text = self.data[2:].decode("utf-16-le")
        self.assertTrue(text.endswith("\r\n"))
        self.assertEqual(text.count("\n"), text.count("\r\n"), "line feed without carriage return")
        self.assertEqual(text.count("\r"), text.count("\r\n"), "carriage return without line feed")

    def test_layout(self):
        lines = self.data[2:].decode("utf-16-le").split("\r\n")
        self.assertEqual(lines[-1], "")
        lines = lines[:-1]
        rule = "-" * 139
        self.assertEqual(lines[:4], [rule, TEXTS["whatsnew.version"], rule, ""])
        items = []
        for line in lines[4:]:
            if line.startswith("- "):
                items.append(line[2:])
            else:
                self.assertTrue(line.startswith("  ") and len(line) > 2 and line[2] != " ",
                                f"neither an item nor a continuation: {line!r}")
                self.assertTrue(items, "continuation before the first item")
                items[-1] += " " + line[2:]
        self.assertGreaterEqual(len(items), 5)
        self.assertIn(TEXTS["whatsnew.download"], items[-1])
        # The what's-new page strips trailing non-alphanumerics; only the line end may go.
        self.assertTrue(lines[-1].endswith(TEXTS["whatsnew.download"]))
        self.assertTrue(TEXTS["whatsnew.download"][-1].isalnum())


if __name__ == "__main__":
    unittest.main(verbosity=2)
