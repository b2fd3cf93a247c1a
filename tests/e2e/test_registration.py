"""Silent installations leave exactly the registry entries the tables give for the Windows version."""
import unittest

import harness
from shell_expect import CATALOGUE, FILE_EXTS, IMAGE_ROWS, Expectation, Snapshot

FOLDER = "C:\\Tools\\Viewer"
ROW_OF = {e.split(":")[0]: i for i, (exts, _) in enumerate(CATALOGUE) for e in exts.split()}


class Registration(unittest.TestCase):
    def setUp(self):
        self.vista = harness.template() != "winxp-32"

    def install(self, p, args):
        # Every Windows since Vista has HKLM\SOFTWARE\RegisteredApplications in both registry
        # views; the 64-bit template has it only in the 64-bit one.
        if self.vista:
            p.reg_add(r"HKLM\SOFTWARE\RegisteredApplications")
        self.assertEqual(p.run_installer(args), 0)

    def check(self, reg, expect):
        for key, values in expect.exact_keys().items():
            with self.subTest(key=key):
                self.assertEqual(reg.values(key), values)
        for key in expect.absent_keys():
            with self.subTest(absent=key):
                self.assertFalse(reg.exists(key))
        # No class of ours beyond those of the registered rows.
        ours = {c for c in reg.subkeys(r"HKLM\SOFTWARE\Classes") if c.startswith("pixelmoor")}
        self.assertEqual(ours, {c.lower() for c in expect.class_names()})
        for ext, cls in expect.extension_defaults().items():
            with self.subTest(extension=ext):
                default = (reg.values("HKLM\\SOFTWARE\\Classes\\." + ext) or {}).get("", (None, ""))
                if cls:
                    self.assertEqual(default, ("REG_SZ", cls))
                else:
                    self.assertFalse(str(default[1]).startswith("Pixelmoor"), default)
        registered = reg.values(r"HKLM\SOFTWARE\RegisteredApplications") or {}
        self.assertEqual(registered.get("Pixelmoor"),
                         ("REG_SZ", r"SOFTWARE\Pixelmoor\Capabilities") if expect.vista else None)
        # Explorer's per-user entries only for chosen rows: "ProgID" on XP, the choice from Vista on.
        for ext, row in ROW_OF.items():
            if row in expect.chosen:
                continue
            with self.subTest(unchosen=ext):
                self.assertNotIn("ProgID", reg.values(FILE_EXTS + ext) or {})
                self.assertFalse(reg.exists(FILE_EXTS + ext + "\\UserChoice"))

    def test_default_installation(self):
        with harness.WinePrefix(harness.template()) as p:
            self.install(p, "/silent")
            reg = Snapshot(p)
            folder = reg.program_files().rstrip("\\") + "\\Pixelmoor\\"
            self.check(reg, Expectation(harness.template(), folder))

    def test_full_installation(self):
        with harness.WinePrefix(harness.template()) as p:
            # Blanks behind the folder value are dropped; the folder gets its backslash.
            args = "/silent /folder=%s  /desktop=1 /thumbs=1 /group=1 /assoc=1" % FOLDER
            self.install(p, args)
            self.check(Snapshot(p), Expectation(harness.template(), FOLDER + "\\", range(IMAGE_ROWS), thumbs=True))
            if p.is64:
                self.check_views(p)

    def test_all_users_and_all_types(self):
        with harness.WinePrefix(harness.template()) as p:
            args = "/silent /folder=%s\\ /thumbs=1 /allusers=1 /assoc=2 /assocallusers" % FOLDER
            self.install(p, args)
            expect = Expectation(harness.template(), FOLDER + "\\", range(len(CATALOGUE)), thumbs=True,
                                 all_users_xp=True)
            self.check(Snapshot(p), expect)

    def test_second_installation_finds_the_first(self):
        # Without "/folder=" a later installation goes where the registered open command points.
        with harness.WinePrefix(harness.template()) as p:
            self.install(p, "/silent /folder=%s" % FOLDER)
            self.install(p, "/silent")
            self.check(Snapshot(p), Expectation(harness.template(), FOLDER + "\\"))

    def check_views(self, p):
        """64-bit Windows: the 32-bit program's SOFTWARE\\X lands in Wow6432Node, Classes is shared."""
        p.kill_server()
        system = (p.prefix / "system.reg").read_text(encoding="utf-8", errors="replace").lower()
        for key in (r"Software\\Wow6432Node\\Pixelmoor\\Capabilities",
                    r"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor",
                    r"Software\\Classes\\Pixelmoor\\shell\\open\\command",
                    r"Software\\Classes\\Pixelmoor.jpg"):
            self.assertIn("[" + key.lower() + "]", system)
        self.assertNotIn(r"[software\\pixelmoor\\capabilities]", system)
        self.assertNotIn(r"[software\\wow6432node\\classes\\pixelmoor]", system)


if __name__ == "__main__":
    harness.main()
