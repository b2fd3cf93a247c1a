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

std::wstring LoadResourceString(UINT id) {
    // With a zero length LoadStringW hands out a pointer to the read-only resource text.
    const wchar_t* text = nullptr;
    const int n = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<std::size_t>(n)) : std::wstring();
}

}  // namespace pm::win
