#include "shell/registration_plan.h"

#include "install/limits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace pm {
namespace {

constexpr OsVersion kWin2000{2, 5, 0}, kXp{2, 5, 1}, kVista{2, 6, 0}, kWin7{2, 6, 1},
    kWin8{2, 6, 2};

struct OsCase {
    const char* name;
    OsVersion os;
    bool xp, vista, win8;
    size_t groupLinks;  // links in the start-menu group
};
const OsCase kSystems[] = {
    {"2000", kWin2000, false, false, false, 9}, {"XP", kXp, true, false, false, 9},
    {"Vista", kVista, false, true, false, 9},   {"7", kWin7, false, true, false, 9},
    {"8+", kWin8, false, true, true, 8},
};

const std::wstring kFolder = L"C:\\Tools\\Viewer  ";
const std::wstring kPath = L"C:\\Tools\\Viewer\\";
const std::wstring kExe = kPath + L"p_moor32.exe";
const std::wstring kOpen = L"\"C:\\Tools\\Viewer\\p_moor32.exe\" \"%1\"";
const std::wstring kFileExts =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";
const std::wstring kUninstall =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor";
const std::wstring kCapAssoc = L"SOFTWARE\\Pixelmoor\\Capabilities\\FileAssociations";
constexpr auto HKLM = RegRoot::LocalMachine;
constexpr auto HKCU = RegRoot::CurrentUser;

RegistrationInputs Inputs(std::initializer_list<int> chosenRows = {}) {
    RegistrationInputs in;
    in.installFolder = kFolder;
    for (int row : chosenRows) in.typeSelection[row] = 1;
    in.anyTypeChosen = chosenRows.size() > 0;
    return in;
}

template <typename Pred>
std::vector<RegOp> Where(const std::vector<RegOp>& ops, Pred pred) {
    std::vector<RegOp> out;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out), pred);
    return out;
}

// Keys (or value names) touched under a key prefix by operations of one kind.
std::set<std::wstring> Keys(const std::vector<RegOp>& ops, RegOpKind kind, RegRoot root,
                            const std::wstring& prefix) {
    std::set<std::wstring> keys;
    for (const RegOp& op : ops)
        if (op.kind == kind && op.root == root && op.key.starts_with(prefix)) keys.insert(op.key);
    return keys;
}

std::set<std::wstring> ExtensionDefaults(const std::vector<RegOp>& ops) {
    std::set<std::wstring> out;
    for (const RegOp& op : Where(ops, [](const RegOp& o) {
             return o.kind == RegOpKind::SetDefault && o.root == HKLM &&
                    o.key.starts_with(L"SOFTWARE\\Classes\\.");
         }))
        out.insert(op.key.substr(18) + L"=" + op.text);
    return out;
}

size_t CountDefaults(const std::vector<RegOp>& ops, const std::wstring& keySuffix) {
    return Where(ops,
                 [&](const RegOp& o) {
                     return o.kind == RegOpKind::SetDefault &&
                            o.key.starts_with(L"SOFTWARE\\Classes\\Pixelmoor.") &&
                            o.key.ends_with(keySuffix);
                 })
        .size();
}

TEST(InstallFolderPath, TrimsBlanksAndEndsInOneBackslash) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"C:\\Tools\\Viewer  ", L"C:\\Tools\\Viewer\\"},
        {L"  C:\\Tools\\Viewer\\", L"C:\\Tools\\Viewer\\"},
        {L"C:\\Tools\\Viewer\\", L"C:\\Tools\\Viewer\\"},
        {L"C:\\My Tools\t", L"C:\\My Tools\t\\"},  // only blanks are trimmed
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(InstallFolderPath(in), out);
}

TEST(PlanRegistration, CommonWritesAndUninstallEntry) {
    const std::vector<RegOp> expected = {
        {RegOpKind::SetDefault,
         HKLM,
         L"SOFTWARE\\Classes\\Pixelmoor",
         {},
         RegType::String,
         L"Pixelmoor"},
        {RegOpKind::SetDefault,
         HKLM,
         L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command",
         {},
         RegType::String,
         kOpen},
        {RegOpKind::DeleteKey, HKLM, L"SOFTWARE\\Classes\\Pixelmoor\\DefaultIcon"},
        {RegOpKind::SetDefault,
         RegRoot::ClassesRoot,
         L"Applications\\p_moor32.exe\\shell\\open\\command",
         {},
         RegType::String,
         kOpen},
        {RegOpKind::SetNamedIfOpens, RegRoot::ClassesRoot, L"Applications\\p_moor32.exe",
         L"FriendlyAppName", RegType::String, L"Pixelmoor 32-bit"},
        {RegOpKind::SetDefault, HKLM, kUninstall, {}, RegType::String, L""},
        {RegOpKind::SetNamedIfOpens, HKLM, kUninstall, L"DisplayName", RegType::String,
         L"Pixelmoor 4.59 (32-bit)"},
        {RegOpKind::SetNamedIfOpens, HKLM, kUninstall, L"UninstallString", RegType::String,
         L"\"C:\\Tools\\Viewer\\pm_uninstall.exe\""},
        {RegOpKind::SetNamedIfOpens, HKLM, kUninstall, L"Publisher", RegType::String,
         L"Brightfen Lab"},
        {RegOpKind::SetNamedIfOpens, HKLM, kUninstall, L"InstallLocation", RegType::String,
         L"C:\\Tools\\Viewer\\"},
        {RegOpKind::SetNamedIfOpens, HKLM, kUninstall, L"DisplayVersion", RegType::String, L"4.59"},
        {RegOpKind::SetNamedIfOpens, HKLM, kUninstall, L"DisplayIcon", RegType::String,
         L"C:\\Tools\\Viewer\\p_moor32.exe,0"},
        {RegOpKind::SetNamedIfOpens, HKLM, kUninstall, L"VersionMajor", RegType::Dword, {}, 4},
        {RegOpKind::SetNamedIfOpens, HKLM, kUninstall, L"VersionMinor", RegType::Dword, {}, 59},
        {RegOpKind::SetNamedIfOpens, HKLM, kUninstall, L"EstimatedSize", RegType::Dword, {}, 5500},
    };
    const std::vector<RegOp> vistaBlock = {
        {RegOpKind::CreateKey, HKLM, L"SOFTWARE\\Pixelmoor"},
        {RegOpKind::SetDefault,
         HKLM,
         L"SOFTWARE\\Pixelmoor\\shell\\open\\command",
         {},
         RegType::String,
         L"\"C:\\Tools\\Viewer\\p_moor32.exe\""},
        {RegOpKind::CreateAndSetNamed, HKLM, L"SOFTWARE\\Pixelmoor\\Capabilities",
         L"ApplicationDescription", RegType::String,
         L"Picture viewer, editor and converter - one of the most popular viewers worldwide"},
        {RegOpKind::CreateKey, HKLM, kCapAssoc},
        {RegOpKind::SetNamedIfOpens, HKLM, L"SOFTWARE\\RegisteredApplications", L"Pixelmoor",
         RegType::String, L"SOFTWARE\\Pixelmoor\\Capabilities", 0, RegAccess::SetValue},
    };
    for (const OsCase& s : kSystems) {
        SCOPED_TRACE(s.name);
        RegistrationInputs in = Inputs();
        in.startMenuGroup = in.desktopLink = 1;
        const RegistrationPlan plan = PlanRegistration(in, s.os);
        ASSERT_FALSE(plan.refused);
        ASSERT_GE(plan.registry.size(), expected.size() + (s.vista ? vistaBlock.size() : 0));
        std::vector<RegOp> head(plan.registry.begin(), plan.registry.begin() + expected.size());
        EXPECT_EQ(head, expected);
        if (s.vista)
            EXPECT_EQ(
                std::vector<RegOp>(plan.registry.begin() + expected.size(),
                                   plan.registry.begin() + expected.size() + vistaBlock.size()),
                vistaBlock);
        else
            EXPECT_TRUE(
                Keys(plan.registry, RegOpKind::CreateKey, HKLM, L"SOFTWARE\\Pixelmoor").empty() &&
                Keys(plan.registry, RegOpKind::SetNamedIfOpens, HKLM,
                     L"SOFTWARE\\RegisteredApplications")
                    .empty());
    }
}

TEST(PlanRegistration, VerbsOnlyWithThumbnailsFromVistaOn) {
    const std::wstring verb = L"Durchsuchen mit &Pixelmoor";
    const std::wstring command = kOpen + L" /thumbs";
    for (const OsCase& s : kSystems) {
        for (int thumbs : {0, 1}) {
            SCOPED_TRACE(std::string(s.name) + (thumbs ? " thumbs" : ""));
            RegistrationInputs in = Inputs();
            in.thumbnailsLink = thumbs;
            const RegistrationPlan plan = PlanRegistration(in, s.os);
            std::vector<RegOp> verbs = Where(plan.registry, [](const RegOp& o) {
                return o.key.find(L"\\shell\\Durchsuchen") != std::wstring::npos;
            });
            if (!(thumbs && s.vista)) {
                EXPECT_TRUE(verbs.empty());
                continue;
            }
            const std::wstring dir = L"SOFTWARE\\Classes\\Directory\\shell\\" + verb;
            const std::wstring drive = L"SOFTWARE\\Classes\\Drive\\shell\\" + verb;
            const std::vector<RegOp> expected = {
                {RegOpKind::SetDefault, HKLM, dir, {}, RegType::String, verb},
                {RegOpKind::SetDefault, HKLM, dir + L"\\command", {}, RegType::String, command},
                {RegOpKind::SetDefault, HKLM, drive, {}, RegType::String, verb},
                {RegOpKind::SetDefault, HKLM, drive + L"\\command", {}, RegType::String, command},
            };
            EXPECT_EQ(verbs, expected);
            // The verbs come first, before the application class.
            EXPECT_EQ(plan.registry.front(), expected.front());
        }
    }
}

TEST(PlanRegistration, VistaAndLaterTakeEveryRowUnchosen) {
    for (const OsCase& s : kSystems) {
        if (!s.vista) continue;
        SCOPED_TRACE(s.name);
        const RegistrationPlan plan = PlanRegistration(Inputs(), s.os);
        EXPECT_EQ(CountDefaults(plan.registry, L"\\shell\\open\\command"), 86u);
        EXPECT_EQ(CountDefaults(plan.registry, L"\\DefaultIcon"), 86u);
        const auto capabilities = Where(plan.registry, [](const RegOp& o) {
            return o.key == kCapAssoc && o.kind == RegOpKind::SetNamedIfOpens;
        });
        ASSERT_EQ(capabilities.size(), 86u);
        EXPECT_EQ(capabilities.front().valueName, L".ani");
        EXPECT_EQ(capabilities.front().text, L"Pixelmoor.ani");
        EXPECT_EQ(capabilities.front().access, RegAccess::SetValue);
        EXPECT_EQ(ExtensionDefaults(plan.registry),
                  (std::set<std::wstring>{L"jpg=Pixelmoor.jpg", L"png=Pixelmoor.png",
                                          L"tif=Pixelmoor.tif"}));
        EXPECT_TRUE(Keys(plan.registry, RegOpKind::DeleteKey, HKCU, kFileExts).empty());
        EXPECT_TRUE(Keys(plan.registry, RegOpKind::CreateAndSetNamed, HKCU, L"").empty());
        EXPECT_FALSE(plan.notifyShell);
    }
}

TEST(PlanRegistration, ChosenRowsPerSystem) {
    // Rows BMP/DIB (2) and ICO (19) chosen.
    for (const OsCase& s : kSystems) {
        for (int allUsersXp : {0, 1}) {
            SCOPED_TRACE(std::string(s.name) + (allUsersXp ? " allUsersXp" : ""));
            RegistrationInputs in = Inputs({2, 19});
            in.allUsersXp = allUsersXp;
            const RegistrationPlan plan = PlanRegistration(in, s.os);
            const auto& ops = plan.registry;
            EXPECT_TRUE(plan.notifyShell);
            EXPECT_EQ(CountDefaults(ops, L"\\shell\\open\\command"), s.vista ? 86u : 3u);

            std::set<std::wstring> defaults = {L"bmp=Pixelmoor.bmp", L"dib=Pixelmoor.bmp",
                                               L"ico=Pixelmoor.ico"};
            if (s.vista)
                defaults.insert({L"jpg=Pixelmoor.jpg", L"png=Pixelmoor.png", L"tif=Pixelmoor.tif"});
            if (s.xp && !allUsersXp) defaults.clear();
            EXPECT_EQ(ExtensionDefaults(ops), defaults);

            // XP: Explorer's per-user entry, default created empty and then "ProgID".
            const auto explorer = Where(
                ops, [](const RegOp& o) { return o.root == HKCU && o.key == kFileExts + L"dib"; });
            if (s.xp) {
                const std::vector<RegOp> expected = {
                    {RegOpKind::SetDefault, HKCU, kFileExts + L"dib", {}, RegType::String, L""},
                    {RegOpKind::SetNamedIfOpens, HKCU, kFileExts + L"dib", L"ProgID",
                     RegType::String, L"Pixelmoor.bmp"},
                };
                EXPECT_EQ(explorer, expected);
            } else {
                EXPECT_TRUE(explorer.empty());
            }

            // Vista and later: the per-user choice is deleted and made anew, for chosen rows only.
            const std::wstring choice = kFileExts + L"dib\\UserChoice";
            const auto choiceOps =
                Where(ops, [](const RegOp& o) { return o.key.ends_with(L"\\UserChoice"); });
            if (s.vista) {
                ASSERT_EQ(choiceOps.size(), 6u);  // bmp, dib, ico
                EXPECT_EQ(choiceOps[2], (RegOp{RegOpKind::DeleteKey, HKCU, choice}));
                EXPECT_EQ(choiceOps[3], (RegOp{RegOpKind::CreateAndSetNamed, HKCU, choice,
                                               L"Progid", RegType::String, L"Pixelmoor.bmp"}));
            } else {
                EXPECT_TRUE(choiceOps.empty());
            }
            EXPECT_EQ(Keys(ops, RegOpKind::SetNamedIfOpens, HKLM, kCapAssoc).empty(), !s.vista);

            // Windows 8 and later: five packaged applications lose their Open With entry, last.
            const auto noOpenWith =
                Where(ops, [](const RegOp& o) { return o.valueName == L"NoOpenWith"; });
            if (s.win8) {
                ASSERT_EQ(noOpenWith.size(), 5u);
                EXPECT_EQ(noOpenWith[0].key,
                          L"SOFTWARE\\Classes\\AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg");
                EXPECT_EQ(noOpenWith[4].key,
                          L"SOFTWARE\\Classes\\AppX6eg8h5sxqq90pv53845wmnbewywdqq5h");
                std::vector<RegOp> tail(ops.end() - 5, ops.end());
                EXPECT_EQ(tail, noOpenWith);
                for (const RegOp& o : noOpenWith) {
                    EXPECT_EQ(o.kind, RegOpKind::CreateAndSetNamed);
                    EXPECT_EQ(o.root, HKCU);
                    EXPECT_EQ(o.text, L"");
                }
            } else {
                EXPECT_TRUE(noOpenWith.empty());
            }
        }
    }
}

TEST(PlanRegistration, OneExtensionInOrder) {
    std::vector<RegOp> ops;
    RegisterFileType(ops, L"dib", L"bmp", kOpen, kExe + L",0", false, true, 0, true);
    const std::wstring cls = L"SOFTWARE\\Classes\\Pixelmoor.bmp";
    const std::vector<RegOp> expected = {
        {RegOpKind::SetDefault,
         HKLM,
         L"SOFTWARE\\Classes\\.dib",
         {},
         RegType::String,
         L"Pixelmoor.bmp"},
        {RegOpKind::SetDefault, HKLM, cls, {}, RegType::String, L"Pixelmoor BMP File"},
        {RegOpKind::SetDefault, HKLM, cls + L"\\shell\\open\\command", {}, RegType::String, kOpen},
        {RegOpKind::SetDefault, HKLM, cls + L"\\DefaultIcon", {}, RegType::String, kExe + L",0"},
        {RegOpKind::SetNamedIfOpens, HKLM, kCapAssoc, L".dib", RegType::String, L"Pixelmoor.bmp", 0,
         RegAccess::SetValue},
        {RegOpKind::DeleteKey, HKCU, kFileExts + L"dib\\UserChoice"},
        {RegOpKind::CreateAndSetNamed, HKCU, kFileExts + L"dib\\UserChoice", L"Progid",
         RegType::String, L"Pixelmoor.bmp"},
    };
    EXPECT_EQ(ops, expected);
}

TEST(PlanRegistration, IconSourcesAndClasses) {
    const RegistrationPlan plan = PlanRegistration(Inputs(), kWin7);
    auto icon = [&](const std::wstring& cls) {
        for (const RegOp& o : plan.registry)
            if (o.key == L"SOFTWARE\\Classes\\Pixelmoor." + cls + L"\\DefaultIcon") return o.text;
        return std::wstring(L"<none>");
    };
    EXPECT_EQ(icon(L"ico"), L"%1");
    EXPECT_EQ(icon(L"ani"), L"%1");
    EXPECT_EQ(icon(L"ttf"), kExe + L",0");
    EXPECT_EQ(icon(L"avi"), kExe + L",9");
    EXPECT_EQ(icon(L"mpe"), kExe + L",9");
    EXPECT_EQ(icon(L"mp3"), kExe + L",8");
    EXPECT_EQ(icon(L"mpeg"), L"<none>");  // mpeg shares Pixelmoor.mpg
    const auto capability = [&](const std::wstring& name) {
        for (const RegOp& o : plan.registry)
            if (o.key == kCapAssoc && o.valueName == name) return o.text;
        return std::wstring();
    };
    EXPECT_EQ(capability(L".mpeg"), L"Pixelmoor.mpg");
    EXPECT_EQ(capability(L".mpe"), L"Pixelmoor.mpe");
    EXPECT_EQ(capability(L".jfif"), L"Pixelmoor.jpg");
}

TEST(PlanRegistration, AssociationPassGate) {
    // After the answer No: nothing is associated before Vista; from Vista on the pass runs
    // with the selection unchanged.
    for (const OsCase& s : kSystems) {
        SCOPED_TRACE(s.name);
        RegistrationInputs in = Inputs({23});
        in.associateConfirmed = 0;
        const RegistrationPlan plan = PlanRegistration(in, s.os);
        EXPECT_EQ(plan.notifyShell, s.vista);
        EXPECT_EQ(CountDefaults(plan.registry, L"\\DefaultIcon"), s.vista ? 86u : 0u);
        EXPECT_EQ(ExtensionDefaults(plan.registry).count(L"jpeg=Pixelmoor.jpg"), s.vista ? 1u : 0u);
    }
}

TEST(PlanRegistration, TooLongInstallFolderIsRefused) {
    RegistrationInputs in = Inputs();
    in.installFolder = L"C:\\" + std::wstring(kMaxInstallFolderLength - 4, L'x');
    EXPECT_FALSE(PlanRegistration(in, kWin8).refused);
    in.installFolder += L"y";
    const RegistrationPlan plan = PlanRegistration(in, kWin8);
    EXPECT_TRUE(plan.refused);
    EXPECT_TRUE(plan.registry.empty() && plan.links.empty());
}

TEST(PlanLinks, StartMenuGroupPerSystem) {
    for (const OsCase& s : kSystems) {
        for (int allUsers : {0, 1}) {
            SCOPED_TRACE(s.name);
            const auto ops = PlanStartMenuGroup(kPath, allUsers, s.os);
            ASSERT_FALSE(ops.empty());
            EXPECT_EQ(ops[0],
                      (LinkOp{LinkOpKind::CreateGroupFolder,
                              allUsers ? kCsidlCommonPrograms : kCsidlPrograms, L"Pixelmoor"}));
            std::vector<std::wstring> names, removed;
            for (const LinkOp& op : ops) {
                if (op.kind == LinkOpKind::GroupLink) names.push_back(op.name);
                if (op.kind == LinkOpKind::RemoveGroupLink) removed.push_back(op.name);
            }
            EXPECT_EQ(names.size(), s.groupLinks);
            EXPECT_EQ(removed,
                      (std::vector<std::wstring>{L"Pixelmoor 4.58.lnk", L"Pixelmoor 4.57.lnk"}));
            EXPECT_EQ(ops[1].name, L"Pixelmoor 4.59.lnk");  // before the old ones are removed
            EXPECT_EQ(ops[2].kind, LinkOpKind::RemoveGroupLink);
            EXPECT_EQ(std::count(names.begin(), names.end(), L"Pixelmoor deinstallieren.lnk"),
                      s.win8 ? 0 : 1);
        }
    }
}

TEST(PlanLinks, GroupLinkFields) {
    const auto ops = PlanStartMenuGroup(kPath, 0, kWin7);
    struct Expected {
        const wchar_t* name;
        std::wstring target, arguments, icon;
        int index;
    };
    const Expected expected[] = {
        {L"Pixelmoor 4.59.lnk", kExe, L"", L"", 0},
        {L"Pixelmoor - Thumbnails.lnk", kExe, L"/thumbs", kExe, 7},
        {L"Pixelmoor deinstallieren.lnk", kPath + L"pm_uninstall.exe", L"", L"", 0},
        {L"\u00DCber Pixelmoor.lnk", kPath + L"p_about.txt", L"", L"", 0},
        {L"Was ist neu.lnk", kPath + L"p_changes.txt", L"", L"", 0},
        {L"Kommandozeilen-Optionen.lnk", kPath + L"p_options.txt", L"", L"", 0},
        {L"Verf\u00FCgbare PlugIns.lnk", kPath + L"p_plugins.txt", L"", L"", 0},
        {L"Verf\u00FCgbare Sprachen.lnk", kPath + L"p_languages.txt", L"", L"", 0},
        {L"Pixelmoor Hilfe.lnk", L"C:\\Tools\\Viewer\\\\help\\p_moor32_deutsch.chm", L"", L"", 0},
    };
    std::vector<LinkOp> links;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(links),
                 [](const LinkOp& o) { return o.kind == LinkOpKind::GroupLink; });
    ASSERT_EQ(links.size(), std::size(expected));
    for (size_t i = 0; i < links.size(); ++i) {
        EXPECT_EQ(links[i],
                  (LinkOp{LinkOpKind::GroupLink, 0, expected[i].name, expected[i].target,
                          expected[i].arguments, expected[i].icon, expected[i].index, L""}));
    }
}

TEST(PlanLinks, DesktopLinks) {
    for (int allUsers : {0, 1}) {
        RegistrationInputs in = Inputs();
        in.desktopLink = in.thumbnailsLink = in.startMenuGroup = 1;
        in.allUsers = allUsers;
        const RegistrationPlan plan = PlanRegistration(in, kXp);
        const int csidl = allUsers ? kCsidlCommonDesktop : kCsidlDesktop;
        ASSERT_EQ(plan.links.size(), 1 + 2 + 9 + 2u);
        EXPECT_EQ(plan.links[plan.links.size() - 2],
                  (LinkOp{LinkOpKind::DesktopLink, csidl, L"Pixelmoor.lnk", kExe, L"", L"", 0,
                          L"Pixelmoor - Bildbetrachter"}));
        EXPECT_EQ(plan.links.back(),
                  (LinkOp{LinkOpKind::DesktopLink, csidl, L"Pixelmoor Thumbnails.lnk", kExe,
                          L"/thumbs", kExe, 7, L"Pixelmoor - Thumbnails"}));
    }
    RegistrationInputs none = Inputs();
    EXPECT_TRUE(PlanRegistration(none, kWin8).links.empty());
}

}  // namespace
}  // namespace pm
