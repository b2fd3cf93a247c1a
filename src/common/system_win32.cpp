#include "common/system_win32.h"

namespace pm::win {

std::wstring SystemDirectoryFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
    std::wstring path = (n > 0 && n < MAX_PATH) ? std::wstring(dir, n) : std::wstring();
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path + name;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    return ::LoadLibraryW(SystemDirectoryFile(name).c_str());
}

}  // namespace pm::win
