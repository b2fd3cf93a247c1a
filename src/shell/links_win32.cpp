#include "shell/links_win32.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>

#include "common/win32_handles.h"
#include "install/paths_win32.h"

namespace pm::win {
namespace {

// One link, with COM initialised around it. `description` is set only when not empty.
int SaveLink(const std::wstring& linkPath, const std::wstring& target,
             const std::wstring& arguments, const std::wstring& iconPath, int iconIndex,
             const std::wstring& description) {
    ComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.PutVoid())))
        return 0;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.PutVoid()))) return 0;
    if (!iconPath.empty()) link->SetIconLocation(iconPath.c_str(), iconIndex);
    link->SetPath(target.c_str());
    if (!arguments.empty()) link->SetArguments(arguments.c_str());
    if (!description.empty()) link->SetDescription(description.c_str());
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE)) ? 1 : 0;
}

}  // namespace

std::wstring ResolveSpecialFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    LPITEMIDLIST items = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(::GetActiveWindow(), csidl, &items)) || !items) {
        const UINT n = ::GetWindowsDirectoryW(buffer, MAX_PATH);
        if (n >= MAX_PATH) buffer[0] = L'\0';
    } else {
        if (!::SHGetPathFromIDListW(items, buffer)) buffer[0] = L'\0';
        ::CoTaskMemFree(items);
    }
    std::wstring path = buffer;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

int CreateDesktopLink(const std::wstring& target, const std::wstring& linkName,
                      const std::wstring& iconPath, const std::wstring& description,
                      const std::wstring& arguments, int iconIndex, int allUsers) {
    const std::wstring folder =
        ResolveSpecialFolder(allUsers ? kCsidlCommonDesktop : kCsidlDesktop);
    return SaveLink(folder + linkName, target, arguments, iconPath, iconIndex, description);
}

int CreateFolderLink(const std::wstring& folder, const std::wstring& linkName,
                     const std::wstring& target, const std::wstring& arguments,
                     const std::wstring& iconPath, int iconIndex) {
    return SaveLink(folder + linkName, target, arguments, iconPath, iconIndex, {});
}

int ApplyLinkPlan(const std::vector<LinkOp>& links) {
    std::wstring group;
    int last = 0;
    for (const LinkOp& op : links) {
        switch (op.kind) {
            case LinkOpKind::CreateGroupFolder:
                group = ResolveSpecialFolder(op.csidl) + op.name;
                CreateFolderPath(group);  // the links below report whether it worked
                break;
            case LinkOpKind::GroupLink:
                last = CreateFolderLink(group, op.name, op.target, op.arguments, op.iconPath,
                                        op.iconIndex);
                break;
            case LinkOpKind::RemoveGroupLink:
                _wremove((group + op.name).c_str());  // usually not there
                break;
            case LinkOpKind::DesktopLink:
                last =
                    CreateDesktopLink(op.target, op.name, op.iconPath, op.description, op.arguments,
                                      op.iconIndex, op.csidl == kCsidlCommonDesktop);
                break;
        }
    }
    return last;
}

int CreateStartMenuGroup(const std::wstring& installFolderPath, int allUsers, const OsVersion& os) {
    return ApplyLinkPlan(PlanStartMenuGroup(installFolderPath, allUsers, os));
}

}  // namespace pm::win
