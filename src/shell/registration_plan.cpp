#include "shell/registration_plan.h"

#include "common/text.h"
#include "install/paths.h"

namespace pm {
namespace {

const std::wstring kProduct = L"Pixelmoor";
const std::wstring kExecutable = L"p_moor32.exe";
const std::wstring kVerb = L"Durchsuchen mit &Pixelmoor";
const std::wstring kUninstallKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor";
const std::wstring kCapabilitiesKey = L"SOFTWARE\\Pixelmoor\\Capabilities";
const std::wstring kFileAssociationsKey = L"SOFTWARE\\Pixelmoor\\Capabilities\\FileAssociations";
const std::wstring kFileExtsKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";
constexpr int kVersionMajor = 4;
constexpr int kVersionMinor = 59;
constexpr uint32_t kEstimatedSize = 5500;

RegOp SetDefault(RegRoot root, std::wstring key, std::wstring text) {
    return {RegOpKind::SetDefault, root, std::move(key), {}, RegType::String, std::move(text)};
}

RegOp SetNamed(RegRoot root, std::wstring key, std::wstring name, std::wstring text,
               RegAccess access = RegAccess::AllAccess) {
    return {RegOpKind::SetNamedIfOpens,
            root,
            std::move(key),
            std::move(name),
            RegType::String,
            std::move(text),
            0,
            access};
}

RegOp SetNamedDword(RegRoot root, std::wstring key, std::wstring name, uint32_t value) {
    return {RegOpKind::SetNamedIfOpens,
            root,
            std::move(key),
            std::move(name),
            RegType::Dword,
            {},
            value};
}

RegOp CreateKey(RegRoot root, std::wstring key) {
    return {RegOpKind::CreateKey, root, std::move(key)};
}

RegOp CreateAndSet(RegRoot root, std::wstring key, std::wstring name, std::wstring text) {
    return {RegOpKind::CreateAndSetNamed,
            root,
            std::move(key),
            std::move(name),
            RegType::String,
            std::move(text)};
}

RegOp DeleteKey(RegRoot root, std::wstring key) {
    return {RegOpKind::DeleteKey, root, std::move(key)};
}

std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

std::wstring VersionText() {
    return std::to_wstring(kVersionMajor) + L"." + std::to_wstring(kVersionMinor);
}

std::wstring IconText(IconSource icon, const std::wstring& executablePath) {
    switch (icon) {
        case IconSource::FileItself:
            return L"%1";
        case IconSource::Viewer9:
            return executablePath + L",9";
        case IconSource::Viewer8:
            return executablePath + L",8";
        case IconSource::Viewer0:
            break;
    }
    return executablePath + L",0";
}

LinkOp GroupLink(std::wstring name, std::wstring target, std::wstring arguments = {},
                 std::wstring iconPath = {}, int iconIndex = 0) {
    return {LinkOpKind::GroupLink,
            0,
            std::move(name),
            std::move(target),
            std::move(arguments),
            std::move(iconPath),
            iconIndex,
            {}};
}

}  // namespace

std::wstring InstallFolderPath(const std::wstring& installFolder) {
    std::wstring path = installFolder;
    TrimSpaces(path);
    AppendBackslash(path);
    return path;
}

std::wstring ClassName(const std::wstring& classSuffix) { return kProduct + L"." + classSuffix; }

std::wstring ClassDescription(const std::wstring& classSuffix) {
    return kProduct + L" " + AsciiUpper(classSuffix) + L" File";
}

std::vector<LinkOp> PlanStartMenuGroup(const std::wstring& installFolderPath, int allUsers,
                                       const OsVersion& os) {
    const std::wstring& p = installFolderPath;
    const std::wstring exe = p + kExecutable;
    std::vector<LinkOp> links;
    links.push_back({LinkOpKind::CreateGroupFolder,
                     allUsers ? kCsidlCommonPrograms : kCsidlPrograms, kProduct});
    links.push_back(GroupLink(L"Pixelmoor " + VersionText() + L".lnk", exe));
    for (const wchar_t* old : {L"4.58", L"4.57"})
        links.push_back(
            {LinkOpKind::RemoveGroupLink, 0, L"Pixelmoor " + std::wstring(old) + L".lnk"});
    links.push_back(GroupLink(L"Pixelmoor - Thumbnails.lnk", exe, L"/thumbs", exe, 7));
    if (!ReportsExactly62(os))
        links.push_back(GroupLink(L"Pixelmoor deinstallieren.lnk", p + L"pm_uninstall.exe"));
    links.push_back(GroupLink(L"\u00DCber Pixelmoor.lnk", p + L"p_about.txt"));
    links.push_back(GroupLink(L"Was ist neu.lnk", p + L"p_changes.txt"));
    links.push_back(GroupLink(L"Kommandozeilen-Optionen.lnk", p + L"p_options.txt"));
    links.push_back(GroupLink(L"Verf\u00FCgbare PlugIns.lnk", p + L"p_plugins.txt"));
    links.push_back(GroupLink(L"Verf\u00FCgbare Sprachen.lnk", p + L"p_languages.txt"));
    // The install folder path already ends in a backslash, so this target holds two before
    // "help"; the shell resolves such a path all the same.
    links.push_back(GroupLink(L"Pixelmoor Hilfe.lnk", p + L"\\help\\p_moor32_deutsch.chm"));
    return links;
}

void AddCapabilityAssociation(std::vector<RegOp>& out, const std::wstring& extension,
                              const std::wstring& classSuffix) {
    out.push_back(SetNamed(RegRoot::LocalMachine, kFileAssociationsKey, L"." + extension,
                           ClassName(classSuffix), RegAccess::SetValue));
}

void SuppressAppOpenWith(std::vector<RegOp>& out) {
    for (const wchar_t* app :
         {L"AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg", L"AppXk0g4vb8gvt7b93tg50ybcy892pge6jmt",
          L"AppX43hnxtbyyps62jhe9sqpdzxn1790zetc", L"AppX9rkaq77s0jzh1tyccadx9ghba15r6t3h",
          L"AppX6eg8h5sxqq90pv53845wmnbewywdqq5h"})
        out.push_back(CreateAndSet(RegRoot::CurrentUser, L"SOFTWARE\\Classes\\" + std::wstring(app),
                                   L"NoOpenWith", L""));
}

void RegisterFileType(std::vector<RegOp>& out, const std::wstring& extension,
                      const std::wstring& classSuffix, const std::wstring& openCommand,
                      const std::wstring& iconSource, bool xpFamily, bool vistaOrLater,
                      int allUsersXp, bool selected) {
    const std::wstring className = ClassName(classSuffix);
    const std::wstring extensionKey = L"SOFTWARE\\Classes\\." + extension;
    const std::wstring classKey = L"SOFTWARE\\Classes\\" + className;
    const std::wstring explorerKey = kFileExtsKey + extension;
    if (xpFamily) {
        out.push_back(SetDefault(RegRoot::CurrentUser, explorerKey, L""));
        out.push_back(SetNamed(RegRoot::CurrentUser, explorerKey, L"ProgID", className));
        if (allUsersXp) out.push_back(SetDefault(RegRoot::LocalMachine, extensionKey, className));
    } else if (selected || EqualsIgnoreAsciiCase(extension, L"JPG") ||
               EqualsIgnoreAsciiCase(extension, L"PNG") ||
               EqualsIgnoreAsciiCase(extension, L"TIF")) {
        out.push_back(SetDefault(RegRoot::LocalMachine, extensionKey, className));
    }
    out.push_back(SetDefault(RegRoot::LocalMachine, classKey, ClassDescription(classSuffix)));
    out.push_back(
        SetDefault(RegRoot::LocalMachine, classKey + L"\\shell\\open\\command", openCommand));
    out.push_back(SetDefault(RegRoot::LocalMachine, classKey + L"\\DefaultIcon", iconSource));
    if (vistaOrLater) {
        AddCapabilityAssociation(out, extension, classSuffix);
        if (selected) {
            const std::wstring choiceKey = explorerKey + L"\\UserChoice";
            out.push_back(DeleteKey(RegRoot::CurrentUser, choiceKey));
            out.push_back(CreateAndSet(RegRoot::CurrentUser, choiceKey, L"Progid", className));
        }
    }
}

bool RegisterFileTypes(std::vector<RegOp>& out, int anyTypeChosen,
                       const std::wstring& executablePath, const std::wstring& openCommand,
                       const TypeSelection& typeSelection, int allUsersXp, bool xpFamily,
                       bool vistaOrLater, const OsVersion& os) {
    const auto catalogue = FileTypeCatalogue();
    for (int i = 0; i < kFileTypeRows; ++i) {
        const FileTypeRow& row = catalogue[i];
        const bool selected = typeSelection[i] != 0;
        if (!vistaOrLater && !selected) continue;
        const std::wstring icon = IconText(row.icon, executablePath);
        for (const RegisteredExtension& e : row.extensions)
            RegisterFileType(out, e.extension, e.classSuffix, openCommand, icon, xpFamily,
                             vistaOrLater, allUsersXp, selected);
    }
    if (!anyTypeChosen) return false;
    if (IsWindows8OrLater(os)) SuppressAppOpenWith(out);
    return true;
}

RegistrationPlan PlanRegistration(const RegistrationInputs& in, const OsVersion& os) {
    RegistrationPlan plan;
    const bool xpFamily = IsXpFamily(os);
    const bool vistaOrLater = IsVistaOrLater(os);
    // Every text composed below stays within a Windows path only for a folder that fits; the
    // driver refuses longer ones before, and nothing is registered for them here either.
    if (!InstallFolderFits(in.installFolder)) {
        plan.refused = true;
        return plan;
    }
    const std::wstring folderPath = InstallFolderPath(in.installFolder);
    const std::wstring exe = folderPath + kExecutable;
    const std::wstring openCommand = Quoted(exe) + L" \"%1\"";
    const std::wstring thumbnailsCommand = openCommand + L" /thumbs";
    const int desktopCsidl = in.allUsers ? kCsidlCommonDesktop : kCsidlDesktop;

    if (in.startMenuGroup) plan.links = PlanStartMenuGroup(folderPath, in.allUsers, os);
    if (in.desktopLink)
        plan.links.push_back({LinkOpKind::DesktopLink,
                              desktopCsidl,
                              L"Pixelmoor.lnk",
                              exe,
                              {},
                              {},
                              0,
                              L"Pixelmoor - Bildbetrachter"});

    auto& reg = plan.registry;
    const auto HKLM = RegRoot::LocalMachine;
    if (in.thumbnailsLink) {
        plan.links.push_back({LinkOpKind::DesktopLink, desktopCsidl, L"Pixelmoor Thumbnails.lnk",
                              exe, L"/thumbs", exe, 7, L"Pixelmoor - Thumbnails"});
        if (vistaOrLater) {
            for (const wchar_t* owner : {L"Directory", L"Drive"}) {
                const std::wstring verbKey =
                    L"SOFTWARE\\Classes\\" + std::wstring(owner) + L"\\shell\\" + kVerb;
                reg.push_back(SetDefault(HKLM, verbKey, kVerb));
                reg.push_back(SetDefault(HKLM, verbKey + L"\\command", thumbnailsCommand));
            }
        }
    }

    reg.push_back(SetDefault(HKLM, L"SOFTWARE\\Classes\\Pixelmoor", kProduct));
    reg.push_back(
        SetDefault(HKLM, L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command", openCommand));
    reg.push_back(DeleteKey(HKLM, L"SOFTWARE\\Classes\\Pixelmoor\\DefaultIcon"));

    reg.push_back(SetDefault(RegRoot::ClassesRoot,
                             L"Applications\\p_moor32.exe\\shell\\open\\command", openCommand));
    reg.push_back(SetNamed(RegRoot::ClassesRoot, L"Applications\\p_moor32.exe", L"FriendlyAppName",
                           L"Pixelmoor 32-bit"));

    reg.push_back(SetDefault(HKLM, kUninstallKey, L""));
    reg.push_back(SetNamed(HKLM, kUninstallKey, L"DisplayName",
                           L"Pixelmoor " + VersionText() + L" (32-bit)"));
    reg.push_back(SetNamed(HKLM, kUninstallKey, L"UninstallString",
                           Quoted(folderPath + L"pm_uninstall.exe")));
    reg.push_back(SetNamed(HKLM, kUninstallKey, L"Publisher", L"Brightfen Lab"));
    reg.push_back(SetNamed(HKLM, kUninstallKey, L"InstallLocation", folderPath));
    reg.push_back(SetNamed(HKLM, kUninstallKey, L"DisplayVersion", VersionText()));
    reg.push_back(SetNamed(HKLM, kUninstallKey, L"DisplayIcon", exe + L",0"));
    reg.push_back(SetNamedDword(HKLM, kUninstallKey, L"VersionMajor", kVersionMajor));
    reg.push_back(SetNamedDword(HKLM, kUninstallKey, L"VersionMinor", kVersionMinor));
    reg.push_back(SetNamedDword(HKLM, kUninstallKey, L"EstimatedSize", kEstimatedSize));

    if (vistaOrLater) {
        reg.push_back(CreateKey(HKLM, L"SOFTWARE\\Pixelmoor"));
        reg.push_back(SetDefault(HKLM, L"SOFTWARE\\Pixelmoor\\shell\\open\\command", Quoted(exe)));
        reg.push_back(
            CreateAndSet(HKLM, kCapabilitiesKey, L"ApplicationDescription",
                         L"Picture viewer, editor and converter - one of the most popular "
                         L"viewers worldwide"));
        reg.push_back(CreateKey(HKLM, kFileAssociationsKey));
        reg.push_back(SetNamed(HKLM, L"SOFTWARE\\RegisteredApplications", kProduct,
                               kCapabilitiesKey, RegAccess::SetValue));
    }

    if (in.associateConfirmed || vistaOrLater)
        plan.notifyShell =
            RegisterFileTypes(reg, in.anyTypeChosen, exe, openCommand, in.typeSelection,
                              in.allUsersXp, xpFamily, vistaOrLater, os);
    return plan;
}

}  // namespace pm
