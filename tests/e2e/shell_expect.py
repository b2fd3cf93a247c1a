"""What a silent installation leaves in the registry and the shell, from the installer's tables.

The tests compare the live registry and the saved links of a Wine prefix with what these tables
give for the prefix's Windows version.
"""
import re
import subprocess

import harness

PRODUCT = "Pixelmoor"
VERB = "Durchsuchen mit &Pixelmoor"
UNINSTALL = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Pixelmoor"
FILE_EXTS = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\."
NO_OPEN_WITH = [
    "AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg",
    "AppXk0g4vb8gvt7b93tg50ybcy892pge6jmt",
    "AppX43hnxtbyyps62jhe9sqpdzxn1790zetc",
    "AppX9rkaq77s0jzh1tyccadx9ghba15r6t3h",
    "AppX6eg8h5sxqq90pv53845wmnbewywdqq5h",
]
IMAGE_ROWS = 48

# The file-type catalogue: registered extensions ("extension:class suffix") and icon source
# ("%1" the file itself, else the viewer's icon index behind the executable path).
CATALOGUE = [
    ("ani:ani", "%1"),  # 0 ANI
    ("b3d:b3d", ",0"),  # 1 B3D
    ("bmp:bmp dib:bmp", ",0"),  # 2 BMP/DIB
    ("clp:clp", ",0"),  # 3 CLP
    ("crw:crw cr2:cr2 cr3:cr3", ",0"),  # 4 CRW/CR2/CR3
    ("cur:cur", "%1"),  # 5 CUR
    ("dcm:dcm acr:dcm ima:dcm", ",0"),  # 6 DCM/ACR/IMA
    ("dcx:dcx", ",0"),  # 7 DCX
    ("dds:dds", ",0"),  # 8 DDS
    ("djvu:djvu iw44:djvu", ",0"),  # 9 DJVU/IW44
    ("dxf:dxf", ",0"),  # 10 DXF
    ("ecw:ecw", ",0"),  # 11 ECW
    ("emf:emf", ",0"),  # 12 EMF
    ("eps:eps ps:eps", ",0"),  # 13 EPS/PS
    ("exr:exr", ",0"),  # 14 EXR
    ("g3:g3", ",0"),  # 15 G3
    ("gif:gif", ",0"),  # 16 GIF
    ("hdp:hdp jxr:hdp wdp:hdp", ",0"),  # 17 HDP/JXR/WDP
    ("heic:heic", ",0"),  # 18 HEIC
    ("ico:ico", "%1"),  # 19 ICO
    ("iff:iff lbm:iff", ",0"),  # 20 IFF/LBM
    ("jls:jls", ",0"),  # 21 JLS
    ("jp2:jp2 jpc:jp2 j2k:jp2", ",0"),  # 22 JP2/JPC/J2K
    ("jpg:jpg jpeg:jpg jfif:jpg jpe:jpg", ",0"),  # 23 JPG/JPEG/JFIF/JPE
    ("jpm:jpm", ",0"),  # 24 JPM
    ("jxl:jxl", ",0"),  # 25 JXL
    ("mng:mng jng:jng", ",0"),  # 26 MNG/JNG
    ("pbm:pbm", ",0"),  # 27 PBM
    ("pcd:pcd", ",0"),  # 28 PCD
    ("pcx:pcx", ",0"),  # 29 PCX
    ("pgm:pgm", ",0"),  # 30 PGM
    ("png:png", ",0"),  # 31 PNG
    ("ppm:ppm", ",0"),  # 32 PPM
    ("psd:psd", ",0"),  # 33 PSD
    ("psp:psp", ",0"),  # 34 PSP
    ("ras:ras sun:ras", ",0"),  # 35 RAS/SUN
    ("raw:raw", ",0"),  # 36 RAW
    ("rle:rle", ",0"),  # 37 RLE
    ("sff:sff", ",0"),  # 38 SFF
    ("sgi:sgi rgb:sgi", ",0"),  # 39 SGI/RGB
    ("sid:sid", ",0"),  # 40 SID
    ("tga:tga", ",0"),  # 41 TGA
    ("tif:tif tiff:tif", ",0"),  # 42 TIF/TIFF
    ("wbmp:wbmp", ",0"),  # 43 WBMP
    ("webp:webp", ",0"),  # 44 WEBP
    ("wmf:wmf", ",0"),  # 45 WMF
    ("xbm:xbm", ",0"),  # 46 XBM
    ("xpm:xpm", ",0"),  # 47 XPM
    ("swf:swf flv:flv", ",0"),  # 48 SWF/FLV
    ("ttf:ttf", ",0"),  # 49 TTF
    ("asf:asf", ",9"),  # 50 ASF
    ("avi:avi", ",9"),  # 51 AVI
    ("mpg:mpg mpe:mpe mpeg:mpg", ",9"),  # 52 MPG/MPE/MPEG
    ("mov:mov", ",9"),  # 53 MOV
    ("wmv:wmv", ",9"),  # 54 WMV
    ("aif:aif", ",8"),  # 55 AIF
    ("mid:mid rmi:rmi", ",8"),  # 56 MID/RMI
    ("mp3:mp3", ",8"),  # 57 MP3
    ("ogg:ogg", ",8"),  # 58 OGG
    ("au:au snd:au", ",8"),  # 59 AU/SND
    ("wav:wav", ",8"),  # 60 WAV
    ("wma:wma", ",8"),  # 61 WMA
]

# What GetVersionExW reports in each prefix template (no compatibility section in the manifest).
VERSIONS = {"winxp-32": (5, 1), "win7-32": (6, 1), "win10-32": (6, 2), "win10-64": (6, 2)}


def sz(text):
    return ("REG_SZ", text)


def dword(value):
    return ("REG_DWORD", value)


class Expectation:
    """Registry and links of one installation: folder path (ending in a backslash) and choices."""

    def __init__(self, template, folder_path, chosen_rows=(), thumbs=False, all_users_xp=False):
        major, minor = VERSIONS[template]
        self.xp = (major, minor) == (5, 1)
        self.vista = major >= 6
        self.win8 = major >= 6 and minor >= 2
        self.path = folder_path
        self.exe = folder_path + "p_moor32.exe"
        self.open_command = '"%s" "%%1"' % self.exe
        self.chosen = set(chosen_rows)
        self.thumbs = thumbs
        self.all_users_xp = all_users_xp

    def rows(self):
        """(index, [(extension, class suffix)], icon source, selected) of the rows registered."""
        for i, (exts, icon) in enumerate(CATALOGUE):
            selected = i in self.chosen
            if self.vista or selected:
                pairs = [tuple(e.split(":")) for e in exts.split()]
                yield i, pairs, ("%1" if icon == "%1" else self.exe + icon), selected

    def exact_keys(self):
        """Keys whose values must be exactly these (name "" is the default value)."""
        keys = {
            r"HKLM\SOFTWARE\Classes\Pixelmoor": {"": sz(PRODUCT)},
            r"HKLM\SOFTWARE\Classes\Pixelmoor\shell\open\command": {"": sz(self.open_command)},
            r"HKCR\Applications\p_moor32.exe": {"FriendlyAppName": sz("Pixelmoor 32-bit")},
            r"HKCR\Applications\p_moor32.exe\shell\open\command": {"": sz(self.open_command)},
            UNINSTALL: {
                "": sz(""),
                "DisplayName": sz("Pixelmoor 4.59 (32-bit)"),
                "UninstallString": sz('"%spm_uninstall.exe"' % self.path),
                "Publisher": sz("Brightfen Lab"),
                "InstallLocation": sz(self.path),
                "DisplayVersion": sz("4.59"),
                "DisplayIcon": sz(self.exe + ",0"),
                "VersionMajor": dword(4),
                "VersionMinor": dword(59),
                "EstimatedSize": dword(5500),
            },
        }
        if self.vista:
            keys[r"HKLM\SOFTWARE\Pixelmoor\shell\open\command"] = {"": sz('"%s"' % self.exe)}
            keys[r"HKLM\SOFTWARE\Pixelmoor\Capabilities"] = {
                "ApplicationDescription": sz(
                    "Picture viewer, editor and converter - one of the most popular viewers worldwide")
            }
            keys[r"HKLM\SOFTWARE\Pixelmoor\Capabilities\FileAssociations"] = {
                "." + ext: sz("Pixelmoor." + suffix)
                for _, pairs, _, _ in self.rows() for ext, suffix in pairs
            }
        if self.vista and self.thumbs:
            for owner in ("Directory", "Drive"):
                verb_key = "HKLM\\SOFTWARE\\Classes\\%s\\shell\\%s" % (owner, VERB)
                keys[verb_key] = {"": sz(VERB)}
                keys[verb_key + r"\command"] = {"": sz(self.open_command + " /thumbs")}
        for _, pairs, icon, selected in self.rows():
            for ext, suffix in pairs:
                cls = "HKLM\\SOFTWARE\\Classes\\Pixelmoor." + suffix
                keys[cls] = {"": sz("Pixelmoor %s File" % suffix.upper())}
                keys[cls + r"\shell\open\command"] = {"": sz(self.open_command)}
                keys[cls + r"\DefaultIcon"] = {"": sz(icon)}
                if self.xp and selected:
                    keys[FILE_EXTS + ext] = {"": sz(""), "ProgID": sz("Pixelmoor." + suffix)}
                if self.vista and selected:
                    keys[FILE_EXTS + ext + r"\UserChoice"] = {"Progid": sz("Pixelmoor." + suffix)}
        if self.win8 and self.chosen:
            for app in NO_OPEN_WITH:
                keys["HKCU\\SOFTWARE\\Classes\\" + app] = {"NoOpenWith": sz("")}
        return keys

    def absent_keys(self):
        absent = [r"HKLM\SOFTWARE\Classes\Pixelmoor\DefaultIcon"]
        if not self.vista:
            absent += [r"HKLM\SOFTWARE\Pixelmoor"]
        if not (self.vista and self.thumbs):
            absent += ["HKLM\\SOFTWARE\\Classes\\%s\\shell\\%s" % (o, VERB) for o in ("Directory", "Drive")]
        if not (self.win8 and self.chosen):
            absent += ["HKCU\\SOFTWARE\\Classes\\" + app for app in NO_OPEN_WITH]
        return absent

    def class_names(self):
        return {"Pixelmoor"} | {"Pixelmoor." + s for _, pairs, _, _ in self.rows() for _, s in pairs}

    def extension_defaults(self):
        """Every catalogue extension and the class its HKLM default must name (None: not ours)."""
        result = {}
        for i, (exts, _) in enumerate(CATALOGUE):
            for e in exts.split():
                ext, suffix = e.split(":")
                if self.xp:
                    ours = self.all_users_xp and i in self.chosen
                else:
                    ours = i in self.chosen or (self.vista and ext in ("jpg", "png", "tif"))
                result[ext] = "Pixelmoor." + suffix if ours else None
        return result

    def group_links(self):
        """(file name, target, arguments, icon location, icon index) of the start-menu group."""
        p, exe = self.path, self.exe
        links = [("Pixelmoor 4.59.lnk", exe, None, None, 0),
                 ("Pixelmoor - Thumbnails.lnk", exe, "/thumbs", exe, 7)]
        if not self.win8:
            links.append(("Pixelmoor deinstallieren.lnk", p + "pm_uninstall.exe", None, None, 0))
        links += [("\u00dcber Pixelmoor.lnk", p + "p_about.txt", None, None, 0),
                  ("Was ist neu.lnk", p + "p_changes.txt", None, None, 0),
                  ("Kommandozeilen-Optionen.lnk", p + "p_options.txt", None, None, 0),
                  ("Verf\u00fcgbare PlugIns.lnk", p + "p_plugins.txt", None, None, 0),
                  ("Verf\u00fcgbare Sprachen.lnk", p + "p_languages.txt", None, None, 0),
                  # Given as <folder>\\help\...; Wine collapses the doubled backslash on saving.
                  ("Pixelmoor Hilfe.lnk", p + "help\\p_moor32_deutsch.chm", None, None, 0)]
        return links

    def desktop_links(self, desktop, thumbs):
        """(file name, target, arguments, icon location, icon index, description)."""
        links = []
        if desktop:
            links.append(("Pixelmoor.lnk", self.exe, None, None, 0, "Pixelmoor - Bildbetrachter"))
        if thumbs:
            links.append(("Pixelmoor Thumbnails.lnk", self.exe, "/thumbs", self.exe, 7, "Pixelmoor - Thumbnails"))
        return links


def read_link(path):
    """The fields lnkinfo reports for a link file."""
    out = subprocess.run(["lnkinfo", str(path)], capture_output=True, text=True, check=True).stdout
    fields = {}
    for line in out.splitlines():
        m = re.match(r"^\t([A-Za-z ]+?)\t+: (.*)$", line)
        if m and m.group(1) not in fields:
            fields[m.group(1)] = m.group(2)
    return {
        "target": fields.get("Local path"),
        "arguments": fields.get("Command line arguments"),
        "icon": fields.get("Icon location"),
        "index": int(fields.get("Icon index", "0")),
        "description": fields.get("Description"),
    }


class Snapshot:
    """The registry subtrees an installation writes, exported once (32-bit view) and looked up
    by key name without regard to case; HKCR names are read under HKLM\\SOFTWARE\\Classes."""

    TREES = (r"HKLM\SOFTWARE\Classes", r"HKLM\SOFTWARE\Pixelmoor", r"HKLM\SOFTWARE\RegisteredApplications",
             UNINSTALL, r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts",
             r"HKCU\SOFTWARE\Classes", r"HKLM\Software\Microsoft\Windows\CurrentVersion")

    def __init__(self, prefix):
        self.keys = {}
        for tree in self.TREES:
            for name, values in (self._export(prefix, tree) or {}).items():
                self.keys.setdefault(name.lower(), values)

    @staticmethod
    def _export(prefix, tree):
        # Classes is shared between the views on 64-bit Windows: what the 32-bit installer
        # writes there is read through the 64-bit view. (Wine 8's reg.exe, asked for the 32-bit
        # view of HKLM\SOFTWARE\Classes, does not show those keys.)
        if not (prefix.is64 and tree.lower().endswith("software\\classes")):
            return prefix.reg_export(tree)
        win_file, host_file = prefix._scratch("classes", ".reg")
        r = prefix.wine("reg", "export", harness.full_key(tree), win_file, "/reg:64", "/y")
        if r.returncode != 0 or not host_file.exists():
            return None
        data = host_file.read_bytes()
        host_file.unlink()
        return harness.parse_reg_export(data.decode("utf-16") if data[:2] == b"\xff\xfe" else data.decode())

    @staticmethod
    def _name(key):
        if key.upper().startswith("HKCR\\"):
            key = "HKLM\\SOFTWARE\\Classes\\" + key[5:]
        return harness.full_key(key).lower()

    def values(self, key):
        """{name ("" = default): (type, data)}; None when the key is missing."""
        return self.keys.get(self._name(key))

    def subkeys(self, key):
        top = self._name(key) + "\\"
        return {k[len(top):].split("\\", 1)[0] for k in self.keys if k.startswith(top)}

    def exists(self, key):
        return self.values(key) is not None

    def program_files(self):
        """The program-files folder of the 32-bit view, as the installer sees it."""
        return self.values(r"HKLM\Software\Microsoft\Windows\CurrentVersion")["ProgramFilesDir"][1]
