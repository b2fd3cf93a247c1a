#!/usr/bin/env bash
# Demonstration: installs what is missing, builds, runs the installer silently with a full
# command line in a throw-away Windows 10 (32-bit) Wine prefix and shows what it did: exit code,
# installed files, settings file, registry entries, links and the install log. The prefix is
# removed afterwards (PIXELMOOR_KEEP_PREFIX=1 keeps it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "$(id -u)" = 0 ]; then
  "$root/scripts/install-deps.sh"
elif command -v sudo >/dev/null; then
  sudo "$root/scripts/install-deps.sh"
else
  echo "demo.sh: scripts/install-deps.sh needs root (run as root or install sudo)" >&2
  exit 1
fi
"$root/scripts/build.sh"

export TZ=${TZ:-Asia/Kolkata}
export PIXELMOOR_SETUP_EXE=${PIXELMOOR_SETUP_EXE:-$root/dist/pixelmoor-4.59-setup-x32.exe}
export PIXELMOOR_TOOLS_DIR=${PIXELMOOR_TOOLS_DIR:-$root/build/win/tests/tools}
unset DISPLAY
exec python3 - "$root" <<'PYTHON'
import os
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(sys.argv[1]) / "tests" / "e2e"))
import harness  # noqa: E402

ARGS = '/silent /folder="C:\\Programme\\Pixelmoor Demo" /desktop=1 /thumbs=1 /group=1 /assoc=1'
TARGET = "C:\\Programme\\Pixelmoor Demo"
START_DIR = "C:\\users\\Public"
EXIT_MEANING = {0: "success", 5: "invalid target folder", 7: "extraction failed",
                10: "viewer running", 11: "target folder not creatable"}
KEYS = [
    r"HKLM\SOFTWARE\Classes\Pixelmoor",
    r"HKLM\SOFTWARE\Classes\Applications\p_moor32.exe",
    r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pixelmoor",
    r"HKLM\SOFTWARE\Pixelmoor",
    r"HKLM\SOFTWARE\RegisteredApplications",
    r"HKLM\SOFTWARE\Classes\Directory\shell\Durchsuchen mit &Pixelmoor",
    r"HKLM\SOFTWARE\Classes\Drive\shell\Durchsuchen mit &Pixelmoor",
    r"HKLM\SOFTWARE\Classes\Pixelmoor.jpg",
    r"HKLM\SOFTWARE\Classes\Pixelmoor.png",
    r"HKLM\SOFTWARE\Classes\Pixelmoor.gif",
    r"HKLM\SOFTWARE\Classes\.jpg",
    r"HKLM\SOFTWARE\Classes\.png",
    r"HKLM\SOFTWARE\Classes\.gif",
    r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.jpg",
    r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.png",
]
ROOTS = [r"HKLM\SOFTWARE", r"HKCU\Software"]


def section(title):
    print(f"\n=== {title} " + "=" * max(3, 72 - len(title)))


def none_yet():
    print("  (none yet)")


def show_value(name, value):
    kind, data = value
    shown = data.hex(" ") if isinstance(data, bytes) else repr(data)
    print(f"      {name or '(Default)'} [{kind}] = {shown}")


def snapshot(p):
    keys = {}
    for key in ROOTS:
        keys.update(p.reg_export(key) or {})
    return {k.lower(): (k, v) for k, v in keys.items()}


def decode_text(data):
    if data[:2] == b"\xff\xfe":
        return "UTF-16LE", data[2:].decode("utf-16-le", errors="replace")
    try:
        return "UTF-8/ASCII", data.decode("utf-8")
    except UnicodeDecodeError:
        return "ISO 8859-1", data.decode("latin-1")


with harness.WinePrefix("win10-32") as p:
    print(f"Prefix: {p.prefix} (Windows 10, 32-bit, locale {p.locale})")
    print(f"Command line: \"{harness.SETUP_WIN_PATH}\" {ARGS}")
    print(f"Current directory: {START_DIR}")
    before = snapshot(p)
    code = p.run_installer(ARGS, cwd=START_DIR, timeout=300)
    p.wait_server()
    after = snapshot(p)

    section("Exit code")
    print(f"  {code} ({EXIT_MEANING.get(code, 'unexpected')})")

    section(f"Files under {TARGET}")
    target = p.host_path(TARGET)
    files = sorted(x for x in target.rglob("*")) if target.is_dir() else []
    if not target.is_dir():
        none_yet()
    else:
        print(f"  {TARGET}\\")
        for f in files:
            rel = f.relative_to(target)
            indent = "    " * len(rel.parts)
            if f.is_dir():
                print(f"  {indent}{rel.name}\\")
            else:
                print(f"  {indent}{rel.name}  ({f.stat().st_size:,} bytes)")
        if not files:
            print("    (folder is empty)")
    n_files = sum(1 for f in files if f.is_file())

    section("Settings file")
    settings = [(TARGET + "\\p_moor32.ini", p.host_path(TARGET + "\\p_moor32.ini"))]
    settings.append((p.win_folder("appdata") + "\\Pixelmoor\\p_moor32.ini",
                     p.appdata / "Pixelmoor" / "p_moor32.ini"))
    n_settings = 0
    for win, host in settings:
        if host.is_file():
            n_settings += 1
            encoding, text = decode_text(host.read_bytes())
            print(f"  {win}  ({encoding})")
            for line in text.splitlines():
                print(f"    {line}")
    if not n_settings:
        none_yet()

    section("Registry (32-bit view)")
    added = {k for k in after if k not in before}
    changed = {k for k in after if k in before and after[k][1] != before[k][1]}
    n_keys = 0
    for key in KEYS:
        top = harness.full_key(key).lower()
        inside = [k for k in after if k == top or k.startswith(top + "\\")]
        # Only what the run wrote: keys the prefix had already, unchanged, are left out.
        if not any(k in added or k in changed for k in inside):
            continue
        subtree = sorted(after[k] for k in inside)
        n_keys += 1
        print(f"  {key}")
        for name, values in subtree:
            rel = name[len(top):]
            if rel:
                print(f"    {rel}")
            for vname, value in sorted(values.items()):
                show_value(vname, value)
            if not values:
                print("      (no values)")
    if not n_keys:
        none_yet()
    print(f"  Keys added by the run under {' and '.join(ROOTS)}: {len(added)}; "
          f"changed: {len(changed)}")

    section("Links")
    link_dirs = [("desktop", p.desktop), ("start-menu group", p.programs / "Pixelmoor"),
                 ("all users' desktop", p.common_desktop),
                 ("all users' start-menu group", p.common_programs / "Pixelmoor")]
    links = []
    for label, folder in link_dirs:
        for lnk in sorted(folder.glob("*.lnk")) if folder.is_dir() else []:
            links.append(lnk)
            print(f"  [{label}] {lnk.name}")
            r = subprocess.run(["lnkinfo", str(lnk)], capture_output=True, text=True)
            for line in (r.stdout or r.stderr).splitlines():
                if line.strip() and not line.startswith("lnkinfo "):
                    print(f"    {line.strip()}")
    if not links:
        none_yet()

    section("Install log")
    logs = []
    for win in (START_DIR, TARGET):
        log = p.host_path(win + "\\" + harness.LOG_NAME)
        if log.is_file():
            logs.append(log)
            print(f"  {win}\\{harness.LOG_NAME}")
            for line in log.read_bytes().decode("latin-1").splitlines():
                print(f"    {line}")
    if not logs:
        none_yet()

    section("Summary")
    empty = not (n_files and n_settings and n_keys and links)
    print(
        f"The silent installation ended with exit code {code} "
        f"({EXIT_MEANING.get(code, 'unexpected')}). It left {n_files} file(s) under {TARGET}, "
        f"{n_settings} settings file(s), {len(links)} link(s) on the desktop and in the start "
        f"menu, {n_keys} of the {len(KEYS)} registry keys looked at ({len(added)} keys added "
        f"and {len(changed)} changed in all) and "
        f"{'an install log' if logs else 'no install log, as a successful run should'}."
        + (" Sections marked \"(none yet)\" belong to steps (extraction, settings, "
           "registration, links) that this build does not carry out yet, or that the run did "
           "not reach." if empty else ""))
if os.environ.get("PIXELMOOR_KEEP_PREFIX") != "1":
    print("\nThe prefix has been removed.")
PYTHON
