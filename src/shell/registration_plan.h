// What registering the viewer writes: the ordered registry operations and shell links, computed
// from the user's choices and the operating-system class. The Win32 layer carries them out in
// order and ignores every failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "install/install_options.h"
#include "shell/catalogue.h"
#include "shell/os_class.h"

namespace pm {

enum class RegRoot { LocalMachine, CurrentUser, ClassesRoot };

enum class RegOpKind {
    SetDefault,         // RegSetValueW: the key's unnamed REG_SZ value; creates missing keys
    SetNamedIfOpens,    // RegOpenKeyExW with `access`; if it opens, RegSetValueExW
    CreateKey,          // RegCreateKeyW, then close
    CreateAndSetNamed,  // RegCreateKeyW; if that succeeds, RegSetValueExW
    DeleteKey,          // RegDeleteKeyW; a missing key is no error worth telling
};

enum class RegAccess { AllAccess, SetValue };
enum class RegType { String, Dword };

struct RegOp {
    RegOpKind kind = RegOpKind::SetDefault;
    RegRoot root = RegRoot::LocalMachine;
    std::wstring key{};
    std::wstring valueName{};  // named operations only
    RegType type = RegType::String;
    std::wstring text{};  // REG_SZ data
    uint32_t dword = 0;   // REG_DWORD data
    RegAccess access = RegAccess::AllAccess;

    bool operator==(const RegOp&) const = default;
};

// Special folders of the shell (CSIDL numbers).
constexpr int kCsidlDesktop = 0;
constexpr int kCsidlPrograms = 2;
constexpr int kCsidlCommonPrograms = 23;
constexpr int kCsidlCommonDesktop = 25;

enum class LinkOpKind {
    CreateGroupFolder,  // special folder `csidl` + `name`, created with every missing parent
    GroupLink,          // link `name` in the group folder
    RemoveGroupLink,    // delete the file `name` in the group folder, if there
    DesktopLink,        // link `name` in the special folder `csidl`
};

// Empty texts mean "not set": no arguments, no icon location, no description.
struct LinkOp {
    LinkOpKind kind = LinkOpKind::GroupLink;
    int csidl = 0;
    std::wstring name{};
    std::wstring target{};
    std::wstring arguments{};
    std::wstring iconPath{};
    int iconIndex = 0;
    std::wstring description{};

    bool operator==(const LinkOp&) const = default;
};

struct RegistrationInputs {
    int associateConfirmed = 1;
    int anyTypeChosen = 0;
    std::wstring installFolder;
    int startMenuGroup = 0;
    int desktopLink = 0;
    int thumbnailsLink = 0;
    int allUsers = 0;
    TypeSelection typeSelection{};
    int allUsersXp = 0;
};

struct RegistrationPlan {
    bool refused = false;  // install folder too long for its composed texts: nothing planned
    std::vector<LinkOp> links;
    std::vector<RegOp> registry;
    bool notifyShell = false;  // reload icons and announce changed associations at the end
};

// Leading and trailing blanks (U+0020 only) removed, a backslash appended unless present
// (TrimSpaces, AppendBackslash).
std::wstring InstallFolderPath(const std::wstring& installFolder);

// Everything registering the viewer does, in order: links first (group, desktop, thumbnails),
// then the registry writes, then the shell notification.
RegistrationPlan PlanRegistration(const RegistrationInputs& in, const OsVersion& os);

// The start-menu group: folder, version link, removal of older version links, the rest.
std::vector<LinkOp> PlanStartMenuGroup(const std::wstring& installFolderPath, int allUsers,
                                       const OsVersion& os);

// The association pass over the catalogue. Returns whether the shell is to be notified.
bool RegisterFileTypes(std::vector<RegOp>& out, int anyTypeChosen,
                       const std::wstring& executablePath, const std::wstring& openCommand,
                       const TypeSelection& typeSelection, int allUsersXp, bool xpFamily,
                       bool vistaOrLater, const OsVersion& os);

void RegisterFileType(std::vector<RegOp>& out, const std::wstring& extension,
                      const std::wstring& classSuffix, const std::wstring& openCommand,
                      const std::wstring& iconSource, bool xpFamily, bool vistaOrLater,
                      int allUsersXp, bool selected);

void AddCapabilityAssociation(std::vector<RegOp>& out, const std::wstring& extension,
                              const std::wstring& classSuffix);

void SuppressAppOpenWith(std::vector<RegOp>& out);

// "Pixelmoor.<suffix>" and "Pixelmoor <SUFFIX> File".
std::wstring ClassName(const std::wstring& classSuffix);
std::wstring ClassDescription(const std::wstring& classSuffix);

}  // namespace pm
