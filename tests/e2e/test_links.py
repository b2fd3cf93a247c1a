"""Silent installations create the desktop links and the start-menu group, read back with lnkinfo."""
import unittest

import harness
from shell_expect import Expectation, read_link

FIRST = "C:\\Tools\\Viewer"
SECOND = "C:\\Other Place\\Viewer"


class Links(unittest.TestCase):
    def check_group(self, group, expect):
        names = sorted(f.name for f in group.glob("*.lnk"))
        expected = expect.group_links()
        self.assertEqual(names, sorted([n for n, *_ in expected] + getattr(self, "kept", [])))
        for name, target, arguments, icon, index in expected:
            with self.subTest(link=name):
                info = read_link(group / name)
                self.assertEqual(info["target"], target)
                self.assertEqual(info["arguments"], arguments)
                self.assertEqual(info["icon"], icon)
                self.assertEqual(info["index"], index)
                self.assertIsNone(info["description"])

    def check_desktop(self, desktop, expect, both=True):
        for name, target, arguments, icon, index, description in expect.desktop_links(both, both):
            with self.subTest(link=name):
                info = read_link(desktop / name)
                self.assertEqual((info["target"], info["arguments"], info["icon"], info["description"]),
                                 (target, arguments, icon, description))
                self.assertEqual(info["index"], index)

    def test_links_of_the_current_user(self):
        with harness.WinePrefix(harness.template()) as p:
            group = p.programs / "Pixelmoor"
            group.mkdir(parents=True, exist_ok=True)
            for old in ("Pixelmoor 4.58.lnk", "Pixelmoor 4.57.lnk", "Pixelmoor 4.56.lnk"):
                (group / old).write_bytes(b"")
            self.kept = ["Pixelmoor 4.56.lnk"]
            self.assertEqual(p.run_installer("/silent /folder=%s /desktop=1 /thumbs=1 /group=1" % FIRST), 0)
            expect = Expectation(harness.template(), FIRST + "\\")
            self.check_group(group, expect)
            self.check_desktop(p.desktop, expect)
            self.assertFalse((p.common_programs / "Pixelmoor").exists())

            # A second installation elsewhere replaces every link, pointing at the new folder.
            self.assertEqual(p.run_installer("/silent /folder=%s /desktop=1 /thumbs=1 /group=1" % SECOND), 0)
            expect = Expectation(harness.template(), SECOND + "\\")
            self.check_group(group, expect)
            self.check_desktop(p.desktop, expect)

    def test_links_for_all_users(self):
        with harness.WinePrefix(harness.template()) as p:
            self.assertEqual(p.run_installer("/silent /folder=%s /desktop=1 /thumbs=1 /group=1 /allusers=1" % FIRST), 0)
            expect = Expectation(harness.template(), FIRST + "\\")
            self.check_group(p.common_programs / "Pixelmoor", expect)
            self.check_desktop(p.common_desktop, expect)
            self.assertFalse((p.programs / "Pixelmoor").exists())
            self.assertFalse((p.desktop / "Pixelmoor.lnk").exists())

    def test_no_links_by_default(self):
        with harness.WinePrefix(harness.template()) as p:
            self.assertEqual(p.run_installer("/silent /folder=%s" % FIRST), 0)
            self.assertFalse((p.programs / "Pixelmoor").exists())
            self.assertFalse((p.desktop / "Pixelmoor.lnk").exists())
            self.assertFalse((p.desktop / "Pixelmoor Thumbnails.lnk").exists())


if __name__ == "__main__":
    harness.main()
