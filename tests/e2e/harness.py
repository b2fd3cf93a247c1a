"""End-to-end harness: the real installer under Wine, in throw-away prefixes.

A test script imports this module, writes unittest cases and ends with ``harness.main()``.
ctest starts each script once per prefix template with ``--template NAME``.

    with WinePrefix() as p:                  # a fresh copy of the current template
        code = p.run_installer('/silent /folder="C:\\Pixelmoor"')
        values = p.reg_values(r"HKLM\\SOFTWARE\\Classes\\Pixelmoor")

Environment (ctest sets it; the defaults suit a checkout built with scripts/build.sh):
    PIXELMOOR_SETUP_EXE      the installer (default dist/pixelmoor-4.59-setup-x32.exe)
    PIXELMOOR_TOOLS_DIR      launcher.exe, viewer_window.exe, probe.exe (default build/win/tests/tools)
    PIXELMOOR_LOCALE_DIR     where glibc locales missing on the host are compiled (LOCPATH)
    PIXELMOOR_KEEP_PREFIX=1  keep each prefix after the test (its path is printed)
Only the Python standard library is used.
"""

from __future__ import annotations

import contextlib
import datetime
import fcntl
import itertools
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
TEMPLATES = ("winxp-32", "win7-32", "win10-32", "win10-64")
SETUP_NAME = "pixelmoor-4.59-setup-x32.exe"
SETUP_WIN_PATH = "C:\\setup\\" + SETUP_NAME
TOOLS_WIN_DIR = "C:\\pmtools"

# The Unix locale each template runs in, which sets Wine's user locale. German where the
# product's users live; C.UTF-8 elsewhere, so both kinds of short date are seen.
LOCALES = {
    "winxp-32": "C.UTF-8",
    "win7-32": "de_DE.UTF-8",
    "win10-32": "C.UTF-8",
    "win10-64": "de_DE.UTF-8",
}

# Exit codes of the installer's silent mode.
EXIT_SUCCESS = 0
EXIT_INVALID_FOLDER = 5
EXIT_EXTRACTION_FAILED = 7
EXIT_VIEWER_RUNNING = 10
EXIT_FOLDER_NOT_CREATED = 11

# Exit codes of launcher.exe itself.
LAUNCHER_BAD_REQUEST = 250
LAUNCHER_LAUNCH_FAILED = 251

_template: str | None = None


class HarnessError(RuntimeError):
    """The harness could not do what a test asked (not a finding about the installer)."""


def template() -> str:
    """The prefix template this script runs in (``--template``, default win10-32)."""
    return _template or os.environ.get("PIXELMOOR_TEMPLATE", "win10-32")


def main() -> None:
    """Entry point of a test script: takes ``--template NAME`` and runs unittest."""
    global _template
    argv = list(sys.argv)
    rest = [argv[0]]
    it = iter(argv[1:])
    for arg in it:
        if arg == "--template":
            _template = next(it, None)
        elif arg.startswith("--template="):
            _template = arg.split("=", 1)[1]
        else:
            rest.append(arg)
    if _template is not None and _template not in TEMPLATES:
        sys.exit(f"unknown template {_template!r}; one of {', '.join(TEMPLATES)}")
    unittest.main(argv=rest, verbosity=2)


def setup_exe() -> Path:
    return Path(os.environ.get("PIXELMOOR_SETUP_EXE", ROOT / "dist" / SETUP_NAME))


def tools_dir() -> Path:
    return Path(os.environ.get("PIXELMOOR_TOOLS_DIR", ROOT / "build" / "win" / "tests" / "tools"))


def locale_dir() -> Path:
    default = Path(tempfile.gettempdir()) / f"pixelmoor-locales-{os.getuid()}"
    return Path(os.environ.get("PIXELMOOR_LOCALE_DIR", default))


def _host_has_locale(name: str) -> bool:
    out = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    norm = name.lower().replace("utf-8", "utf8")
    return norm in (x.lower() for x in out)


def ensure_locale(name: str) -> Path | None:
    """Makes the glibc locale ``name`` (like de_DE.UTF-8) available; returns the LOCPATH to
    use, or None when the host has it already. Compiled once under a lock, shared by tests."""
    if _host_has_locale(name):
        return None
    base, _, charset = name.partition(".")
    folder = locale_dir()
    folder.mkdir(parents=True, exist_ok=True)
    target = folder / name
    with open(folder / ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not (target / "LC_CTYPE").exists():
            scratch = Path(tempfile.mkdtemp(prefix=f".{name}.", dir=folder))
            try:
                r = subprocess.run(["localedef", "-i", base, "-f", charset or "UTF-8",
                                    str(scratch / name)], capture_output=True, text=True)
                # localedef warns (exit 1) about harmless things; the locale counts if written.
                if not (scratch / name / "LC_CTYPE").exists():
                    raise HarnessError(f"localedef {name} failed: {r.stderr.strip()}")
                shutil.rmtree(target, ignore_errors=True)
                (scratch / name).rename(target)
            finally:
                shutil.rmtree(scratch, ignore_errors=True)
    return folder


@contextlib.contextmanager
def xvfb(screen: str = "1024x768x24"):
    """A private X server for programs that show windows; yields its display (":N") and ends
    it, by its process id, on exit. Pass the display to WinePrefix(display=...)."""
    read_fd, write_fd = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", screen,
                             "-nolisten", "tcp"], pass_fds=(write_fd,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    try:
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            raise HarnessError("Xvfb did not start")
        yield ":" + number
    finally:
        proc.terminate()
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def screenshot(display: str, png: Path) -> None:
    """Captures the whole screen of ``display`` into the PNG file ``png``."""
    xwd = subprocess.run(["xwd", "-root", "-silent", "-display", display], capture_output=True,
                         check=True)
    subprocess.run(["convert", "xwd:-", f"png:{png}"], input=xwd.stdout, check=True)


# ----------------------------------------------------------------------------------------------
# Registry export parsing

_ROOTS = {
    "HKLM": "HKEY_LOCAL_MACHINE",
    "HKCU": "HKEY_CURRENT_USER",
    "HKCR": "HKEY_CLASSES_ROOT",
    "HKU": "HKEY_USERS",
    "HKCC": "HKEY_CURRENT_CONFIG",
}
_HEX_TYPES = {
    "0": "REG_NONE", "1": "REG_SZ", "2": "REG_EXPAND_SZ", "3": "REG_BINARY", "4": "REG_DWORD",
    "5": "REG_DWORD_BIG_ENDIAN", "7": "REG_MULTI_SZ", "b": "REG_QWORD",
}


def full_key(key: str) -> str:
    """``HKLM\\x`` -> ``HKEY_LOCAL_MACHINE\\x``."""
    root, _, rest = key.partition("\\")
    root = _ROOTS.get(root.upper(), root.upper())
    return root + ("\\" + rest if rest else "")


def _unescape_reg_string(s: str) -> str:
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c == "\\" and i + 1 < len(s):
            nxt = s[i + 1]
            out.append({"n": "\n", "r": "\r", "0": "\0", "t": "\t"}.get(nxt, nxt))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def _parse_value(text: str):
    """The right-hand side of one value line -> (type, data)."""
    if text.startswith('"'):
        return "REG_SZ", _unescape_reg_string(text[1:-1])
    if text.startswith("dword:"):
        return "REG_DWORD", int(text[6:], 16)
    m = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)$", text, re.S)
    if not m:
        return "UNKNOWN", text
    kind = (m.group(1) or "3").lower()
    raw = bytes(int(b, 16) for b in re.findall(r"[0-9a-fA-F]{2}", m.group(2)))
    type_name = _HEX_TYPES.get(kind, f"REG_TYPE_{kind}")
    if type_name in ("REG_SZ", "REG_EXPAND_SZ"):
        return type_name, raw.decode("utf-16-le").split("\0", 1)[0]
    if type_name == "REG_MULTI_SZ":
        return type_name, [x for x in raw.decode("utf-16-le").split("\0") if x]
    if type_name == "REG_DWORD":
        return type_name, int.from_bytes(raw[:4], "little")
    if type_name == "REG_QWORD":
        return type_name, int.from_bytes(raw[:8], "little")
    return type_name, raw


def parse_reg_export(text: str) -> dict[str, dict[str, tuple]]:
    """A ``reg export`` file -> {full key name: {value name ("" = default): (type, data)}}."""
    keys: dict[str, dict[str, tuple]] = {}
    current = None
    lines = text.replace("\r\n", "\n").split("\n")
    i = 0
    while i < len(lines):
        line = lines[i]
        i += 1
        # Long hex values go on over lines ending in a backslash; no other line ends in one
        # (strings end in a quote, key names in a bracket).
        while line.endswith("\\") and i < len(lines):
            line = line[:-1] + lines[i].strip()
            i += 1
        if not line or line.startswith("Windows Registry Editor") or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], {})
            continue
        if current is None:
            continue
        if line.startswith("@="):
            current[""] = _parse_value(line[2:])
            continue
        m = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line, re.S)
        if m:
            current[_unescape_reg_string(m.group(1))] = _parse_value(m.group(2))
    return keys


# ----------------------------------------------------------------------------------------------
# Prefixes

def _now() -> datetime.datetime:
    return datetime.datetime.now().replace(microsecond=0)


class WinePrefix:
    """A fresh copy of a prefix template with its own HOME; its wineserver is ended and the
    copy removed on exit (kept when PIXELMOOR_KEEP_PREFIX=1).

    ``display``: an X display (":5") for programs that show windows; without one, Wine's null
    graphics driver is used, so windows exist (FindWindowW sees them) but are not drawn.
    ``locale``: the Unix locale (LC_ALL) that sets Wine's user locale; default per template.
    """

    _counter = itertools.count(1)

    def __init__(self, template_name: str | None = None, *, locale: str | None = None,
                 display: str | None = None):
        self.template = template_name or template()
        if self.template not in TEMPLATES:
            raise HarnessError(f"unknown template {self.template!r}")
        self.is64 = self.template.endswith("-64")
        self.locale = locale or LOCALES[self.template]
        self.display = display
        self.loader = "/usr/lib/wine/wine64" if self.is64 else "wine"
        self.work: Path | None = None
        self.prefix: Path | None = None
        self.env: dict[str, str] = {}
        self._facts: dict[str, str] | None = None

    # -- life cycle --------------------------------------------------------------------------

    def __enter__(self) -> "WinePrefix":
        self.work = Path(tempfile.mkdtemp(prefix=f"pm-e2e-{self.template}-"))
        try:
            self._create()
        except BaseException:
            self._destroy()
            raise
        return self

    def __exit__(self, *exc) -> None:
        self._destroy()

    def _create(self) -> None:
        script = Path(__file__).resolve().parent / "wine_prefix.sh"
        r = subprocess.run([str(script), "copy", self.template, str(self.work)],
                           capture_output=True, text=True)
        if r.returncode != 0:
            raise HarnessError(f"wine_prefix.sh copy {self.template} failed:\n{r.stderr}")
        self.prefix = self.work / "prefix"
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("WINE", "LC_", "DISPLAY", "LOCPATH"))}
        env.update({
            "WINEPREFIX": str(self.prefix),
            "HOME": str(self.work / "home"),
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree=d;mshtml=d",
            "LC_ALL": self.locale,
            "TZ": os.environ.get("TZ", "Asia/Kolkata"),
        })
        locpath = ensure_locale(self.locale)
        if locpath:
            env["LOCPATH"] = str(locpath)
        if self.display:
            env["DISPLAY"] = self.display
        else:
            self._use_null_display_driver()
        self.env = env
        tools = self.host_path(TOOLS_WIN_DIR)
        tools.mkdir(parents=True, exist_ok=True)
        for name in ("launcher.exe", "viewer_window.exe", "probe.exe"):
            src = tools_dir() / name
            if not src.exists():
                raise HarnessError(f"{src} missing: build the win configuration first")
            shutil.copy2(src, tools / name)

    def _use_null_display_driver(self) -> None:
        # Written into user.reg before the prefix's server starts: costs no Wine process.
        user_reg = self.prefix / "user.reg"
        text = user_reg.read_text(encoding="utf-8", errors="surrogateescape")
        if "[Software\\\\Wine\\\\Drivers]" not in text:
            text += '\n[Software\\\\Wine\\\\Drivers] 1700000000\n"Graphics"="null"\n'
            user_reg.write_text(text, encoding="utf-8", errors="surrogateescape")

    def _destroy(self) -> None:
        if self.prefix and self.prefix.exists():
            self.kill_server()
        if self.work and self.work.exists():
            if os.environ.get("PIXELMOOR_KEEP_PREFIX") == "1":
                print(f"[harness] prefix kept: {self.work}", file=sys.stderr)
            else:
                shutil.rmtree(self.work, ignore_errors=True)

    def kill_server(self) -> None:
        subprocess.run(["wineserver", "-k"], env=self.env or {**os.environ,
                       "WINEPREFIX": str(self.prefix)}, capture_output=True, timeout=60)

    def wait_server(self, timeout: float = 60) -> None:
        """Waits until every program of the prefix has ended and the registry is written."""
        subprocess.run(["wineserver", "-w"], env=self.env, capture_output=True, timeout=timeout)

    # -- paths -------------------------------------------------------------------------------

    def host_path(self, win_path: str) -> Path:
        """``C:\\some\\path`` -> the host path in this prefix. Existing components are looked up
        without regard to case, as Windows would; missing ones are taken as written."""
        m = re.match(r"^([A-Za-z]):(.*)$", win_path)
        if not m:
            raise HarnessError(f"not an absolute Windows path: {win_path!r}")
        drive = self.prefix / "dosdevices" / (m.group(1).lower() + ":")
        if not drive.exists():
            raise HarnessError(f"drive {m.group(1)}: is not mapped in this prefix")
        path = drive.resolve()
        for part in (x for x in m.group(2).split("\\") if x):
            cand = path / part
            if not cand.exists() and path.is_dir():
                low = part.lower()
                for entry in os.listdir(path):
                    if entry.lower() == low:
                        cand = path / entry
                        break
            path = cand
        return path

    def _scratch(self, stem: str, suffix: str = "") -> tuple[str, Path]:
        name = f"{stem}-{os.getpid()}-{next(self._counter)}{suffix}"
        return TOOLS_WIN_DIR + "\\" + name, self.host_path(TOOLS_WIN_DIR) / name

    # -- running programs --------------------------------------------------------------------

    def wine(self, *args: str, timeout: float = 120, check: bool = False,
             input: bytes | None = None) -> subprocess.CompletedProcess:
        """Runs ``wine ARGS`` (the prefix's loader) and returns the completed process."""
        try:
            r = subprocess.run([self.loader, *args], env=self.env, capture_output=True,
                               timeout=timeout, input=input)
        except subprocess.TimeoutExpired:
            self.kill_server()
            raise
        if check and r.returncode != 0:
            raise HarnessError(f"wine {' '.join(args)} failed ({r.returncode}):\n"
                               f"{r.stderr.decode(errors='replace')}")
        return r

    def run(self, command_line: str, cwd: str = r"C:\users\Public", timeout: float = 120) -> int:
        """Starts the exact command line with CreateProcessW in the Windows folder ``cwd``,
        waits and returns the program's exit code. A timeout ends the prefix's programs and
        raises subprocess.TimeoutExpired."""
        win_req, host_req = self._scratch("request", ".txt")
        host_req.write_bytes((cwd + "\n" + command_line).encode("utf-8"))
        r = self.wine(TOOLS_WIN_DIR + "\\launcher.exe", win_req, timeout=timeout)
        host_req.unlink(missing_ok=True)
        if r.returncode in (LAUNCHER_BAD_REQUEST, LAUNCHER_LAUNCH_FAILED):
            raise HarnessError(f"launcher could not start {command_line!r} in {cwd!r}: "
                               f"{r.stderr.decode(errors='replace').strip()}")
        return r.returncode

    def install_setup(self, exe: Path | None = None) -> str:
        """Copies the installer (or another build of it, ``exe``) to C:\\setup (once) and
        returns its Windows path."""
        src = exe or setup_exe()
        win_path = SETUP_WIN_PATH if exe is None else "C:\\setup\\" + src.name
        dest = self.host_path(win_path)
        if not dest.exists():
            if not src.exists():
                raise HarnessError(f"installer {src} missing: run scripts/build.sh")
            dest.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(src, dest)
        return win_path

    def run_installer(self, args: str, cwd: str = r"C:\users\Public", timeout: float = 120,
                      exe: Path | None = None) -> int:
        """Runs ``"C:\\setup\\pixelmoor-4.59-setup-x32.exe" ARGS`` in ``cwd``; returns its exit code.
        ``exe``: another build of the installer, run as ``C:\\setup\\<its file name>``."""
        return self.run(f'"{self.install_setup(exe)}" {args}', cwd=cwd, timeout=timeout)

    @contextlib.contextmanager
    def viewer_window(self, timeout: float = 240):
        """Holds a top-level window of class "Pixelmoor" (the running viewer) while inside.
        Under load Wine's desktop process may take a minute before the window is findable."""
        win_ready, host_ready = self._scratch("viewer-ready")
        win_stop, host_stop = self._scratch("viewer-stop")
        proc = subprocess.Popen([self.loader, TOOLS_WIN_DIR + "\\viewer_window.exe", win_ready,
                                 win_stop], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)
        try:
            deadline = time.monotonic() + timeout
            while not host_ready.exists():
                if proc.poll() is not None:
                    raise HarnessError(f"viewer_window ended early ({proc.returncode}): "
                                       f"{proc.stderr.read().decode(errors='replace')}")
                if time.monotonic() > deadline:
                    raise HarnessError("viewer_window did not come up")
                time.sleep(0.05)
            yield proc
        finally:
            host_stop.touch()
            try:
                proc.wait(timeout=15)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
            proc.stderr.close()

    # -- facts of the system -----------------------------------------------------------------

    def probe(self, fresh: bool = False) -> dict[str, str]:
        """What probe.exe reports: short_date, local_time, csidl_0/2/23/25/26, temp,
        program_files (the 32-bit view), windows, version, user_lcid, wow64."""
        if self._facts is None or fresh:
            r = self.wine(TOOLS_WIN_DIR + "\\probe.exe", check=True)
            facts = {}
            for line in r.stdout.decode("utf-8").splitlines():
                k, _, v = line.partition("=")
                facts[k.strip()] = v.rstrip("\r")
            self._facts = facts
        return self._facts

    FOLDERS = {
        "desktop": "csidl_0", "programs": "csidl_2", "common_programs": "csidl_23",
        "common_desktop": "csidl_25", "appdata": "csidl_26", "temp": "temp",
        "program_files": "program_files",
    }

    def user_folder(self, name: str) -> Path:
        """Host path of a special folder: desktop, programs, common_programs, common_desktop,
        appdata, temp, program_files (or a probe key such as csidl_26)."""
        return self.host_path(self.win_folder(name))

    def win_folder(self, name: str) -> str:
        """The Windows path of the special folder ``name`` (see user_folder)."""
        value = self.probe().get(self.FOLDERS.get(name, name), "")
        if not value:
            raise HarnessError(f"probe reported no folder for {name!r}")
        return value.rstrip("\\")

    @property
    def desktop(self) -> Path: return self.user_folder("desktop")

    @property
    def programs(self) -> Path: return self.user_folder("programs")

    @property
    def common_desktop(self) -> Path: return self.user_folder("common_desktop")

    @property
    def common_programs(self) -> Path: return self.user_folder("common_programs")

    @property
    def appdata(self) -> Path: return self.user_folder("appdata")

    @property
    def temp(self) -> Path: return self.user_folder("temp")

    @property
    def program_files(self) -> Path: return self.user_folder("program_files")

    def short_date(self) -> str:
        """Today's short date in the prefix's user locale, as GetDateFormatW gives it."""
        return self.probe(fresh=True)["short_date"]

    # -- registry ----------------------------------------------------------------------------

    def reg_export(self, key: str) -> dict[str, dict[str, tuple]] | None:
        """The subtree under ``key`` in the 32-bit view, as {full key: values}; None if missing."""
        win_file, host_file = self._scratch("export", ".reg")
        r = self.wine("reg", "export", full_key(key), win_file, "/reg:32", "/y")
        if r.returncode != 0 or not host_file.exists():
            return None
        data = host_file.read_bytes()
        host_file.unlink()
        text = data.decode("utf-16") if data[:2] in (b"\xff\xfe", b"\xfe\xff") else data.decode()
        return parse_reg_export(text)

    def reg_tree(self, key: str) -> dict[str, dict[str, tuple]]:
        """The whole subtree: {key path relative to ``key`` ("" for itself): values}."""
        tree = self.reg_export(key)
        if not tree:
            return {}
        top = full_key(key).lower()
        out = {}
        for name, values in tree.items():
            rel = name[len(top):].lstrip("\\") if name.lower().startswith(top) else name
            out[rel] = values
        return out

    def reg_values(self, key: str) -> dict[str, tuple] | None:
        """{value name ("" = default): (type, data)} of one key; None when it is missing."""
        tree = self.reg_tree(key)
        return tree.get("") if tree else None

    def reg_keys(self, key: str) -> list[str]:
        """Names of the direct subkeys of ``key``; empty when it is missing."""
        return sorted({rel.split("\\", 1)[0] for rel in self.reg_tree(key) if rel})

    def reg_exists(self, key: str) -> bool:
        return self.reg_values(key) is not None

    def reg_add(self, key: str, name: str | None = None, data: str | int | None = None,
                type_name: str = "REG_SZ") -> None:
        """Creates ``key`` (32-bit view) and optionally sets one value ("" = default)."""
        args = ["reg", "add", full_key(key), "/reg:32", "/f"]
        if name is not None:
            args += ["/ve"] if name == "" else ["/v", name]
            args += ["/t", type_name]
            if data is not None:
                args += ["/d", str(data)]
        self.wine(*args, check=True)


# ----------------------------------------------------------------------------------------------
# Install log

LOG_NAME = "Pixelmoor_Install.log"
SEPARATOR = b"-" * 48 + b"\r\n"


def log_bytes(message: str) -> bytes:
    """A message as the install log stores it: ISO 8859-1, "?" above U+00FF, CR LF line ends."""
    out = bytearray()
    for ch in message:
        if ch == "\n":
            out += b"\r\n"
        else:
            out.append(ord(ch) if ord(ch) <= 0xFF else ord("?"))
    return bytes(out)


def split_log(data: bytes) -> list[tuple[bytes, bytes, bytes]]:
    """The entries of an install log as (date, time, message bytes); raises ValueError when the
    file is not a sequence of well-formed entries."""
    entries = []
    pos = 0
    pattern = re.compile(rb"([^\r\n]*?) - (\d\d:\d\d:\d\d): ")
    while pos < len(data):
        m = pattern.match(data, pos)
        if not m:
            raise ValueError(f"no entry head at byte {pos}: {data[pos:pos + 60]!r}")
        end = data.find(b"\r\n" + SEPARATOR, m.end())
        if end < 0:
            raise ValueError(f"entry at byte {pos} has no separator: {data[pos:]!r}")
        entries.append((m.group(1), m.group(2), data[m.end():end]))
        pos = end + 2 + len(SEPARATOR)
    return entries
