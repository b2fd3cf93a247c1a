#include "install/paths_win32.h"

#include <windows.h>

#include <direct.h>

#include <optional>

#include "common/win32_handles.h"
#include "install/limits.h"
#include "install/paths.h"

namespace pm {
namespace {

std::wstring CurrentDirectory() {
    std::wstring dir(MAX_PATH, L'\0');
    DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), dir.data());
    if (n >= dir.size()) {
        dir.resize(n);
        n = ::GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), dir.data());
    }
    dir.resize(n < dir.size() ? n : 0);
    return dir;
}

// Enters the folder and goes back to where the process was: whether the folder can be entered.
bool CanEnter(const std::wstring& folder) {
    const std::wstring previous = CurrentDirectory();
    if (::_wchdir(folder.c_str()) != 0) return false;
    ::_wchdir(previous.c_str());
    return true;
}

// A string value under HKEY_LOCAL_MACHINE (the 32-bit view, as this is a 32-bit program), at
// most 259 characters; nothing when the key or value is missing, not a string or too long.
std::optional<std::wstring> ReadMachineString(const wchar_t* keyName, const wchar_t* valueName) {
    win::RegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE, key.Put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    wchar_t buffer[kPathBufferSize] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (::RegQueryValueExW(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    std::wstring text(buffer, size / sizeof(wchar_t));
    if (const std::size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
    if (text.size() > kMaxPathLength) return {};
    return text;
}

}  // namespace

int CreateFolderPath(std::wstring& path) {
    if (path.empty()) return 0;
    std::wstring folder = path;
    TrimSpaces(folder);
    if (folder.size() > kMaxPathLength) return 0;
    if (folder.empty()) {
        path.clear();
        return 0;
    }
    AppendBackslash(folder);
    path = folder;
    if (CanEnter(path)) return 1;

    FolderPlan plan = PlanFolderLevels(path);
    for (const std::wstring& level : plan.levels) {
        // Failures (the level exists, is a drive or a server) are judged only by the final test.
        if (!level.empty()) ::CreateDirectoryW(level.c_str(), nullptr);
    }
    path = std::move(plan.path);
    return CanEnter(path) ? 1 : 0;
}

int FindExistingInstallFolder(std::wstring& folder) {
    folder.clear();
    const auto command =
        ReadMachineString(L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command", nullptr);
    if (!command) return 0;
    auto found = FolderFromOpenCommand(*command);
    if (!found) return 0;
    folder = std::move(*found);
    return 1;
}

int GetDefaultInstallFolder(std::wstring& folder) {
    folder = DefaultFolderFromProgramFiles(
        ReadMachineString(L"Software\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir"));
    return 1;
}

}  // namespace pm
