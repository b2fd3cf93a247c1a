"""The payload that the installer carries, installed: after a silent installation every entry
of its resource "ZIP" 1974 is below the target folder, folders as folders, files with their
bytes and with the entry's date and time as last-write time (local time), and the temporary
copy of the archive is gone."""

import datetime
import io
import sys
import unittest
import zipfile
from pathlib import Path

import harness

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "payload"))
from check_archive import pe_resource  # noqa: E402

TARGET = r"C:\Programme\Pixelmoor Probe"


class PayloadFiles(unittest.TestCase):
    def test_silent_installation_writes_every_entry(self):
        data, _ = pe_resource(harness.setup_exe().read_bytes(), "ZIP", 1974)
        archive = zipfile.ZipFile(io.BytesIO(data))
        with harness.WinePrefix() as p:
            self.assertEqual(p.run_installer(f'/silent /folder="{TARGET}"'),
                             harness.EXIT_SUCCESS)
            target = p.host_path(TARGET)
            for info in archive.infolist():
                with self.subTest(entry=info.filename):
                    path = target / info.filename.rstrip("/")
                    if info.is_dir():
                        self.assertTrue(path.is_dir())
                        continue
                    self.assertTrue(path.is_file())
                    self.assertEqual(path.read_bytes(), archive.read(info))
                    written = datetime.datetime.fromtimestamp(path.stat().st_mtime)
                    self.assertEqual(written.timetuple()[:6], info.date_time)
            self.assertFalse((p.temp / "pmoorg_x32.zip").exists())


if __name__ == "__main__":
    harness.main()

