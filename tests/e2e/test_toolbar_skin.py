"""The toolbar skin the installer picks for the screen: real installations under Xvfb screens
of different sizes, at 96 and 144 pixels per inch."""

from __future__ import annotations

import contextlib
import os
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from harness import WinePrefix  # noqa: E402
from test_extract_install import read_ini  # noqa: E402


@contextlib.contextmanager
def xvfb(width: int, height: int):
    """An X display with one screen of the given size; ended by its process id."""
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                               f"{width}x{height}x24", "-nolisten", "tcp"],
                              pass_fds=(write,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write)
    try:
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            raise harness.HarnessError("Xvfb did not report a display")
        yield f":{number}"
    finally:
        server.terminate()
        server.wait(timeout=10)


class ToolbarSkinTest(unittest.TestCase):
    # Screen height -> skin at 96 dpi. The full-screen client height lies a caption bar (and,
    # where there is one, a taskbar) below the screen height, well inside each row's range.
    CASES = ((1024, 700, "Quartz_16.png", "16"),
             (1280, 1024, "Ribbonet_24.png", "24"),
             (1920, 1700, "gnome-colors-human_48.png", "48"))

    def test_skin_by_screen_and_scale(self) -> None:
        for width, height, skin, size in self.CASES:
            with self.subTest(screen=f"{width}x{height}"), xvfb(width, height) as display, \
                    WinePrefix(display=display) as p:
                self.assertEqual(p.run_installer("/silent /folder=C:\\PM /ini=C:\\PM"), 0)
                settings = read_ini(p.host_path(r"C:\PM\p_moor32.ini"))
                self.assertEqual(settings["toolbar"], {"skin": skin, "size": size})
                if height != 1024:
                    continue
                # 144 dpi is scale 150: at least the 32 skin on any screen.
                p.host_path(r"C:\PM\p_moor32.ini").unlink()
                p.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", 144, "REG_DWORD")
                self.assertEqual(p.run_installer("/silent /folder=C:\\PM /ini=C:\\PM"), 0)
                settings = read_ini(p.host_path(r"C:\PM\p_moor32.ini"))
                self.assertEqual(settings["toolbar"], {"skin": "gnome-colors-wise_32.png", "size": "32"})


if __name__ == "__main__":
    harness.main()
