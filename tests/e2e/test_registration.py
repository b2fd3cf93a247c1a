"""Silent installations leave exactly the registry entries the tables give for the Windows version."""
import subprocess
import unittest

import harness
from shell_expect import CATALOGUE, IMAGE_ROWS, Expectation, normalised_values, program_files

FOLDER = "C:\\Tools\\Viewer"


class Registration(unittest.TestCase):
    def check(self, p, expect):
        for key, values in expect.exact_keys().items():
            with self.subTest(key=key):
                self.assertEqual(normalised_values(p, key), values)
        for key in expect.absent_keys():
            with self.subTest(absent=key):
                self.assertFalse(p.reg_keys(key) or normalised_values(p, key))
        # No class of ours beyond those of the taken rows.
        classes = {k.rsplit("\\", 1)[-1] for k in p.reg_keys(r"HKLM\SOFTWARE\Classes")}
        self.assertEqual({c for c in classes if c.startswith("Pixelmoor")}, expect.class_names())
        for ext, cls in expect.extension_defaults().items():
            with self.subTest(extension=ext):
                values = normalised_values(p, "HKLM\\SOFTWARE\\Classes\\." + ext) or {}
                default = values.get("", (None, None))[1]
                if cls:
                    self.assertEqual(values[""], ("REG_SZ", cls))
                else:
                    self.assertFalse((default or "").startswith("Pixelmoor"), default)
        if expect.vista:
            registered = normalised_values(p, r"HKLM\SOFTWARE\RegisteredApplications") or {}
            self.assertEqual(registered.get("Pixelmoor"), ("REG_SZ", r"SOFTWARE\Pixelmoor\Capabilities"))
        else:
            self.assertNotIn("Pixelmoor", normalised_values(p, r"HKLM\SOFTWARE\RegisteredApplications") or {})
        for ext in ("bmp", "jpg"):
            key = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\." + ext
            if not (expect.xp and CATALOGUE_ROW[ext] in expect.chosen):
                self.assertNotIn("ProgID", normalised_values(p, key) or {})
            if not (expect.vista and CATALOGUE_ROW[ext] in expect.chosen):
                self.assertFalse(normalised_values(p, key + "\\UserChoice"))

    def test_default_installation(self):
        with harness.WinePrefix(harness.template()) as p:
            self.assertEqual(p.run_installer("/silent"), 0)
            folder = program_files(p).rstrip("\\") + "\\Pixelmoor\\"
            self.check(p, Expectation(harness.template(), folder))

    def test_full_installation(self):
        with harness.WinePrefix(harness.template()) as p:
            self.assertEqual(p.run_installer("/silent /folder=%s  /desktop=1 /thumbs=1 /group=1 /assoc=1" % FOLDER), 0)
            expect = Expectation(harness.template(), FOLDER + "\\", range(IMAGE_ROWS), thumbs=True)
            self.check(p, expect)
            if p.is64:
                self.check_views(p)

    def test_all_users_and_all_types(self):
        with harness.WinePrefix(harness.template()) as p:
            args = "/silent /folder=%s\\ /thumbs=1 /allusers=1 /assoc=2 /assocallusers" % FOLDER
            self.assertEqual(p.run_installer(args), 0)
            expect = Expectation(harness.template(), FOLDER + "\\", range(len(CATALOGUE)), thumbs=True,
                                 all_users_xp=True)
            self.check(p, expect)

    def test_second_installation_finds_the_first(self):
        with harness.WinePrefix(harness.template()) as p:
            self.assertEqual(p.run_installer("/silent /folder=%s" % FOLDER), 0)
            self.assertEqual(p.run_installer("/silent"), 0)
            self.check(p, Expectation(harness.template(), FOLDER + "\\"))

    def check_views(self, p):
        """64-bit Windows: the 32-bit program's SOFTWARE\\X lands in Wow6432Node, Classes is shared."""
        subprocess.run(["wineserver", "-k"], env=p.env, check=False)
        system = (p.prefix / "system.reg").read_text(encoding="utf-8", errors="replace")
        self.assertIn("[Software\\\\Wow6432Node\\\\Pixelmoor\\\\Capabilities]", system)
        self.assertNotIn("[Software\\\\Pixelmoor\\\\Capabilities]", system)
        self.assertIn("[Software\\\\Classes\\\\Pixelmoor\\\\shell\\\\open\\\\command]", system)
        self.assertIn("[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\Pixelmoor]", system)


CATALOGUE_ROW = {e.split(":")[0]: i for i, (exts, _) in enumerate(CATALOGUE) for e in exts.split()}

if __name__ == "__main__":
    harness.main()
