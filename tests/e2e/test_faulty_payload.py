"""A faulty payload under Wine: test builds of the installer that carry a faulty archive in
place of the payload (faulty_archives.py) end a silent installation with string 7 and exit
code 7, and write nothing outside their target folder.

All names of an archive are checked before anything is written, so an archive with a refused
name leaves the target folder holding the install log only. A wrong CRC-32 is found when the
entry has been read whole: the entries before it and the entry itself (written out before its
check) stay, the entries behind it are not written.
"""

from __future__ import annotations

import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import faulty_archives  # noqa: E402
import harness  # noqa: E402
from harness import WinePrefix, log_bytes, split_log  # noqa: E402

FAULTY_DIR = Path(os.environ.get("PIXELMOOR_FAULTY_SETUP_DIR",
                                 harness.ROOT / "build" / "win" / "tests" / "e2e" / "faulty"))
STRING_7 = ("Fehler beim Installieren!\n\n"
            "Überprüfen Sie bitte ob Pixelmoor läuft, das Zielverzeichnis voll ist oder keine "
            "Schreibrechte vorhanden sind!\n\n"
            "(Der Installer sollte im ADMIN-Modus gestartet werden, z.B. den Installer mit der "
            "rechten Maustaste anklicken)")
PIXELMOOR_CLASS_KEY = r"HKLM\SOFTWARE\Classes\Pixelmoor"


def snapshot(root: Path) -> set[str]:
    """Every file and folder below ``root``, as paths relative to it."""
    found = set()
    for folder, dirs, files in os.walk(root):
        rel = os.path.relpath(folder, root)
        for name in dirs + files:
            found.add(os.path.normpath(os.path.join(rel, name)))
    return found


def written_entries(variant: str) -> list[tuple[str, bytes]]:
    """The entries of the variant's archive that are on disk after its run: with a wrong CRC
    the ones up to the faulty entry, with a refused name none."""
    if variant != "crc":
        return []
    names = [name for name, _ in faulty_archives.entries(variant)]
    return faulty_archives.entries(variant)[:names.index(faulty_archives.BAD_CRC_NAME) + 1]


class FaultyPayload(unittest.TestCase):
    def test_faulty_archives_end_with_string_7_and_write_nothing_elsewhere(self):
        with WinePrefix() as p:
            drive = p.host_path("C:\\")
            p.host_path(r"C:\Target").mkdir()
            # Asks Wine once, so that its own first-run files exist before the first snapshot.
            temp = p.temp
            for variant in faulty_archives.VARIANTS:
                with self.subTest(variant=variant):
                    target = "C:\\Target\\" + variant
                    setup = p.install_setup(FAULTY_DIR / f"pixelmoor_setup_{variant}.exe")
                    before = snapshot(drive)
                    code = p.run(f'"{setup}" /silent /folder={target}')
                    after = snapshot(drive)

                    self.assertEqual(code, harness.EXIT_EXTRACTION_FAILED)
                    # Logged in the target folder, which the extraction made current after
                    # opening the archive: the normalised folder first, then string 7.
                    folder = p.host_path(target)
                    entries = split_log((folder / harness.LOG_NAME).read_bytes())
                    self.assertEqual([e[2] for e in entries],
                                     [log_bytes(target + "\\: " + STRING_7)])

                    stay = written_entries(variant)
                    rel = os.path.relpath(folder, drive)
                    # The "Plugins" folder comes from the icon library rule, before the
                    # extraction.
                    expected = {rel, os.path.join(rel, harness.LOG_NAME),
                                os.path.join(rel, "Plugins")}
                    expected |= {os.path.join(rel, os.path.normpath(name)) for name, _ in stay}
                    self.assertEqual(sorted(after - before), sorted(expected))
                    self.assertEqual(sorted(before - after), [])
                    for name, data in stay:
                        if name.endswith("/"):
                            self.assertTrue((folder / name).is_dir(), name)
                        else:
                            self.assertEqual((folder / name).read_bytes(), data, name)
                    self.assertFalse(os.path.lexists(temp / "pmoorg_x32.zip"))
            # The installation ended before registering anything.
            self.assertIsNone(p.reg_values(PIXELMOOR_CLASS_KEY))


if __name__ == "__main__":
    harness.main()
