"""The installer's file work under Wine: the payload on disk, the temporary archive, the icon
library rule and the settings file, after real silent installations."""

from __future__ import annotations

import datetime
import io
import os
import sys
import unittest
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from harness import WinePrefix  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "res"))
from pe_reader import find_resource  # noqa: E402

BUILD = harness.ROOT / "build" / "win"
TEST_LIBRARIES = Path(os.environ.get("PIXELMOOR_TEST_LIBRARIES", BUILD / "tests"))
IST = datetime.timezone(datetime.timedelta(hours=5, minutes=30))
BOM_HEADER = b"\xff\xfe" + "; UNICODE FILE - edit with care ;-)\r\n".encode("utf-16-le")


def read_ini(path: Path) -> dict[str, dict[str, str]]:
    """Sections and keys of a settings file, 8-bit or UTF-16; key names lower-cased."""
    data = path.read_bytes()
    text = data[2:].decode("utf-16-le") if data.startswith(b"\xff\xfe") else data.decode("cp1252")
    sections: dict[str, dict[str, str]] = {}
    current = None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1].lower(), {})
        elif "=" in line and current is not None:
            key, _, value = line.partition("=")
            current[key.strip().lower()] = value.strip()
    return sections


class ExtractInstallTest(unittest.TestCase):
    def assert_payload_on_disk(self, folder: Path, skip_icons: bool = False) -> None:
        # The archive the installer carries, read out of its resource "ZIP" 1974.
        data, _ = find_resource(harness.setup_exe().read_bytes(), "ZIP", 1974)
        with zipfile.ZipFile(io.BytesIO(data)) as archive:
            for info in archive.infolist():
                path = folder / info.filename.rstrip("/")
                if info.is_dir():
                    self.assertTrue(path.is_dir(), info.filename)
                    continue
                if skip_icons and "icons.dll" in info.filename.lower():
                    continue
                self.assertEqual(path.read_bytes(), archive.read(info), info.filename)
                expected = datetime.datetime(*info.date_time, tzinfo=IST).timestamp()
                self.assertEqual(int(path.stat().st_mtime), int(expected), info.filename)

    def assert_clean(self, p: WinePrefix, folder: Path, link_planted: bool = False) -> None:
        temp = p.temp / "pmoorg_x32.zip"
        self.assertEqual(os.path.islink(temp), link_planted)
        if not link_planted:
            self.assertFalse(os.path.lexists(temp), "temporary archive left")
        self.assertEqual([n for n in os.listdir(p.temp) if n.startswith("pmoorg_x32-")], [])
        self.assertFalse((folder / "Pixelmoor_Install.log").exists(), "install log written")
        self.assertFalse(p.host_path(r"C:\users\Public\Pixelmoor_Install.log").exists())

    def test_default_install_twice_with_a_planted_link(self) -> None:
        with WinePrefix() as p:
            # A link at the temporary name, planted on the host, leads to a file of the user.
            # Wine shows such a link as a plain file and would delete its target with it, so it
            # stays untouched and a numbered name beside it serves.
            victim = p.host_path(r"C:\victim.txt")
            victim.write_bytes(b"precious")
            p.temp.mkdir(parents=True, exist_ok=True)
            os.symlink(victim, p.temp / "pmoorg_x32.zip")

            self.assertEqual(p.run_installer("/silent"), 0)
            folder = p.program_files / "Pixelmoor"
            self.assertEqual(victim.read_bytes(), b"precious")
            self.assert_payload_on_disk(folder)
            self.assert_clean(p, folder, link_planted=True)

            # Default folder: the settings live in the roaming folder, converted to UTF-16.
            installed = read_ini(folder / "p_moor32.ini")
            self.assertEqual(installed["others"]["ini_folder"], "%APPDATA%\\Pixelmoor")
            self.assertFalse((folder / "p_moor32.ini").read_bytes().startswith(b"\xff\xfe"))
            active_path = p.appdata / "Pixelmoor" / "p_moor32.ini"
            self.assertTrue(active_path.read_bytes().startswith(BOM_HEADER))
            active = read_ini(active_path)
            self.assertEqual(active["language"], {"dll": "DEUTSCH.DLL", "lang": "Deutsch"})
            self.assertIn(active["toolbar"]["skin"], ("Quartz_16.png", "Ribbonet_24.png",
                                                      "gnome-colors-wise_32.png",
                                                      "gnome-colors-human_48.png"))

            # A second installation over the converted file: language rewritten, skin kept,
            # no second header.
            text = active_path.read_bytes()[2:].decode("utf-16-le")
            text = text.replace("Skin=" + active["toolbar"]["skin"], "Skin=Mine.png")
            text = text.replace("Lang=Deutsch", "Lang=English")
            active_path.write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))
            self.assertEqual(p.run_installer("/silent"), 0)
            again = active_path.read_bytes()
            self.assertEqual(again.count("; UNICODE FILE".encode("utf-16-le")), 1)
            self.assertEqual(read_ini(active_path)["toolbar"]["skin"], "Mine.png")
            self.assertEqual(read_ini(active_path)["language"]["lang"], "Deutsch")
            self.assert_clean(p, folder, link_planted=True)
            self.assertEqual(victim.read_bytes(), b"precious")

    def test_full_install_elsewhere_keeps_a_newer_icon_library(self) -> None:
        with WinePrefix() as p:
            folder = p.host_path(r"C:\Pixelmoor Test")
            (folder / "Plugins").mkdir(parents=True)
            newer = (TEST_LIBRARIES / "icons_431.dll").read_bytes()
            (folder / "Plugins" / "Icons.dll").write_bytes(newer)
            # An earlier installation there, which had a settings folder: found again, it is
            # installed without one and the stale key goes.
            (folder / "p_moor32.ini").write_bytes(b"[Others]\r\nINI_Folder=C:\\Old\r\n")
            p.reg_add(r"HKLM\SOFTWARE\Classes\Pixelmoor\shell\open\command", "",
                      '"C:\\Pixelmoor Test\\p_moor32.exe" "%1"')

            code = p.run_installer("/silent /desktop=1 /thumbs=1 /group=1 /allusers=1 /assoc=2")
            self.assertEqual(code, 0)
            self.assertEqual((folder / "Plugins" / "Icons.dll").read_bytes(), newer)
            self.assert_payload_on_disk(folder, skip_icons=True)
            self.assert_clean(p, folder)
            data = (folder / "p_moor32.ini").read_bytes()
            self.assertTrue(data.startswith(BOM_HEADER))
            settings = read_ini(folder / "p_moor32.ini")
            self.assertNotIn("ini_folder", settings.get("others", {}))
            self.assertEqual(settings["language"]["dll"], "DEUTSCH.DLL")

    def test_settings_folders(self) -> None:
        with WinePrefix() as p:
            # An unknown variable vanishes with both "%"; the key keeps the text as given.
            self.assertEqual(p.run_installer('/silent /folder=C:\\PM /ini="%PM_NO_SUCH_VAR%\\Pixelmoor"'), 0)
            install = p.host_path(r"C:\PM\p_moor32.ini")
            self.assertEqual(read_ini(install)["others"]["ini_folder"], "%PM_NO_SUCH_VAR%\\Pixelmoor")
            # "\Pixelmoor" is left; folder creation makes it "Pixelmoor\", below the current
            # directory, which the extraction made the target folder.
            active = p.host_path(r"C:\PM\Pixelmoor\p_moor32.ini")
            self.assertTrue(active.read_bytes().startswith(BOM_HEADER))
            self.assertEqual(read_ini(active)["language"]["lang"], "Deutsch")

            # Portable layout: the install folder's file also gets the defaults, stays 8-bit.
            code = p.run_installer('/silent /folder=C:\\Pixelmoor32_App /ini=C:\\Pixelmoor32_App\\Data')
            self.assertEqual(code, 0)
            install = p.host_path(r"C:\Pixelmoor32_App\p_moor32.ini")
            self.assertFalse(install.read_bytes().startswith(b"\xff\xfe"))
            settings = read_ini(install)
            self.assertEqual(settings["others"]["ini_folder"], "C:\\Pixelmoor32_App\\Data")
            self.assertEqual(settings["language"], {"defaultlang": "DEUTSCH.DLL", "lang": "Deutsch"})
            self.assertEqual(settings["toolbar"], {"skin": "Ribbonet_24.png", "size": "24"})
            active = p.host_path(r"C:\Pixelmoor32_App\Data\p_moor32.ini")
            self.assertTrue(active.read_bytes().startswith(BOM_HEADER))
            self.assertEqual(read_ini(active)["language"], {"dll": "DEUTSCH.DLL", "lang": "Deutsch"})


if __name__ == "__main__":
    harness.main()
