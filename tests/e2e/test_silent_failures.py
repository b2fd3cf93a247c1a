"""Silent mode's refusals and their install log, and the default target folder, under Wine.

Every run uses an exact command line and its own start directory, so that the log entries of
one case never meet those of another.
"""

import concurrent.futures
import datetime
import re
import unittest

import harness
from harness import WinePrefix, log_bytes, split_log

SETUP = harness.SETUP_WIN_PATH
PIXELMOOR_CLASS_KEY = r"HKLM\SOFTWARE\Classes\Pixelmoor"

STRING_5 = "Ungültiges Zielverzeichnis!"
STRING_10 = ("Warnung: Pixelmoor läuft!\n"
             "Beenden Sie bitte Pixelmoor bevor Sie mit der Installation fortsetzen!")
STRING_11 = ("Kann Zielverzeichnis nicht erstellen!\n\n"
             "Bitte überprüfen Sie Ihre Schreibrechte und System-Policies!\n\n"
             "Versuchen Sie das Zielverzeichnis zuerst händisch zu erstellen.")


class SilentFailures(unittest.TestCase):
    """The runs that must stop before installing anything share one prefix."""

    @classmethod
    def setUpClass(cls):
        cls.p = WinePrefix().__enter__()
        cls.addClassCleanup(cls.p.__exit__, None, None, None)
        cls.date = cls.p.probe()["short_date"]
        # An ordinary file in the way of a folder: nothing can be created below it.
        cls.blocker = r"C:\users\Public\blocker.txt"
        cls.p.host_path(cls.blocker).write_bytes(b"in the way\n")
        cls.p.host_path(r"C:\users\Public").mkdir(exist_ok=True)

    @classmethod
    def tearDownClass(cls):
        # Checked once for all the refused runs above: none of them registered anything.
        if cls.p.reg_values(PIXELMOOR_CLASS_KEY) is not None:
            raise AssertionError(PIXELMOOR_CLASS_KEY + " was created by a refused run")

    def start_dir(self, name):
        win = "C:\\users\\Public\\" + name
        self.p.host_path(win).mkdir(parents=True)
        return win, self.p.host_path(win)

    def run_logged(self, args, cwd):
        """Runs the installer and returns (exit code, start, end) with the host's local time
        (the same zone as the prefix's) around the run."""
        start = datetime.datetime.now().replace(microsecond=0)
        code = self.p.run_installer(args, cwd=cwd)
        end = datetime.datetime.now()
        return code, start, end

    def assertEntry(self, entry, message, start, end):
        date, clock, text = entry
        if date.decode("latin-1") != self.date:
            # The run may have crossed midnight.
            self.assertEqual(date.decode("latin-1"), self.p.short_date())
        hh, mm, ss = (int(x) for x in clock.decode().split(":"))
        logged = datetime.datetime.combine(start.date(), datetime.time(hh, mm, ss))
        if logged < start - datetime.timedelta(seconds=1):
            logged += datetime.timedelta(days=1)
        self.assertLessEqual(start - datetime.timedelta(seconds=1), logged)
        self.assertLessEqual(logged, end + datetime.timedelta(seconds=1))
        self.assertEqual(text, log_bytes(message))

    def assertLogIs(self, folder, messages, windows):
        data = (folder / harness.LOG_NAME).read_bytes()
        entries = split_log(data)
        self.assertEqual(len(entries), len(messages), data)
        for entry, message, (start, end) in zip(entries, messages, windows):
            self.assertEntry(entry, message, start, end)
        return data

    def assertNothingInstalled(self, start_folder, *folders):
        self.assertEqual(sorted(x.name for x in start_folder.iterdir()), [harness.LOG_NAME])
        for folder in folders:
            self.assertFalse(self.p.host_path(folder).exists(), folder)
        self.assertFalse(self.p.host_path(self.p.win_folder("program_files") + r"\Pixelmoor")
                         .exists())

    def test_date_is_in_the_user_locale(self):
        if self.p.locale.startswith("de_DE"):
            self.assertRegex(self.date, r"^\d\d\.\d\d\.\d{4}$")
        else:
            self.assertRegex(self.date, r"^\d{1,2}/\d{1,2}/\d{4}$")

    def test_empty_folder_logs_string_5_and_a_second_run_appends(self):
        cwd, here = self.start_dir("empty-folder")
        code, start, end = self.run_logged("/silent /folder=", cwd)
        self.assertEqual(code, harness.EXIT_INVALID_FOLDER)
        first = self.assertLogIs(here, [STRING_5 + ": "], [(start, end)])
        # Byte for byte: date, " - ", time, ": ", message, ": ", CR LF, separator, CR LF.
        self.assertRegex(first, re.escape(self.date.encode("latin-1")) +
                         rb" - \d\d:\d\d:\d\d: Ung\xfcltiges Zielverzeichnis!: \r\n" +
                         b"-" * 48 + rb"\r\n\Z")
        # Blanks only count as empty too; the entry goes after the first one.
        code2, start2, end2 = self.run_logged('/silent /folder="   " /desktop=1', cwd)
        self.assertEqual(code2, harness.EXIT_INVALID_FOLDER)
        second = self.assertLogIs(here, [STRING_5 + ": "] * 2, [(start, end), (start2, end2)])
        self.assertTrue(second.startswith(first))
        self.assertNothingInstalled(here)

    def test_uncreatable_folder_logs_string_11_with_the_normalised_folder(self):
        cases = [
            # (command-line value, folder as logged)
            (r"Q:\Gibt es nicht\Pixelmoor", "Q:\\Gibt es nicht\\Pixelmoor\\"),
            # Leading blanks go, blanks in front of a separator go, the backslash is added.
            ('"  ' + self.blocker + r' \Unter\Pixelmoor "',
             self.blocker + "\\Unter\\Pixelmoor\\"),
            # Above U+00FF the log holds "?"; the umlaut is the byte E4 (the euro sign is not
            # written as its Windows-1252 byte 0x80).
            ("Q:\\Käse€\\Ωmega", "Q:\\Käse€\\Ωmega\\"),
        ]
        self.assertFalse(self.p.prefix.joinpath("dosdevices", "q:").exists())
        dirs = [self.start_dir(f"uncreatable-{i}") for i in range(len(cases))]
        # The runs are independent (own start directories): run them side by side.
        with concurrent.futures.ThreadPoolExecutor(len(cases)) as pool:
            runs = list(pool.map(lambda c: self.run_logged(f"/silent /folder={c[0][0]}", c[1][0]),
                                 zip(cases, dirs)))
        for (value, logged), (cwd, here), (code, start, end) in zip(cases, dirs, runs):
            with self.subTest(value=value):
                self.assertEqual(code, harness.EXIT_FOLDER_NOT_CREATED)
                data = self.assertLogIs(here, [STRING_11 + ": " + logged], [(start, end)])
                if "€" in value:
                    self.assertIn(b"Q:\\K\xe4se?\\?mega\\\r\n", data)
                self.assertEqual(data.count(b"\r\n"), 6)
                self.assertNotIn(b"\r\r", data)
                self.assertTrue(self.p.host_path(self.blocker).is_file())
                self.assertFalse(self.p.host_path(self.blocker + r"\Unter").exists())
                self.assertEqual(sorted(x.name for x in here.iterdir()), [harness.LOG_NAME])

    def test_running_viewer_logs_string_10_only(self):
        cwd, here = self.start_dir("viewer-running")
        target = r"C:\Pixelmoor Viewer Test"
        with self.p.viewer_window():
            code, start, end = self.run_logged(
                f'/silent /folder="{target}" /desktop=1 /group=1 /assoc=2', cwd)
        self.assertEqual(code, harness.EXIT_VIEWER_RUNNING)
        self.assertLogIs(here, [STRING_10], [(start, end)])
        self.assertNothingInstalled(here, target)


class DefaultFolder(unittest.TestCase):
    def test_default_folder_is_the_32_bit_program_files_folder(self):
        with WinePrefix() as p:
            program_files = p.win_folder("program_files")
            if p.is64:
                self.assertEqual(program_files, r"C:\Program Files (x86)")
            else:
                self.assertEqual(program_files, r"C:\Program Files")
            cwd = r"C:\users\Public"
            before = sorted(x.name for x in p.host_path(cwd).iterdir())
            self.assertEqual(p.run_installer("/silent", cwd=cwd), harness.EXIT_SUCCESS)
            self.assertTrue(p.host_path(program_files + r"\Pixelmoor").is_dir())
            if p.is64:
                self.assertFalse(p.host_path(r"C:\Program Files\Pixelmoor").exists())
            self.assertFalse(p.host_path(r"C:\Pixelmoor").exists())
            self.assertEqual(sorted(x.name for x in p.host_path(cwd).iterdir()), before)


if __name__ == "__main__":
    harness.main()
