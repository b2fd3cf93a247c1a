// Prints, as UTF-8 lines "name=value", the facts of the running system that the end-to-end
// tests compare the installer's work with. Being a 32-bit program, it sees what the installer
// sees: the 32-bit registry view and program-files folder.
#include <windows.h>
#include <shlobj.h>

#include <string>

namespace {

void Put(const char* name, const std::wstring& value) {
    std::string line = name;
    line += '=';
    if (!value.empty()) {
        int n = WideCharToMultiByte(CP_UTF8, 0, value.data(), static_cast<int>(value.size()),
                                    nullptr, 0, nullptr, nullptr);
        std::string bytes(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, value.data(), static_cast<int>(value.size()), bytes.data(),
                            n, nullptr, nullptr);
        line += bytes;
    }
    line += '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()),
              &written, nullptr);
}

std::wstring SpecialFolder(int csidl) {
    LPITEMIDLIST pidl = nullptr;
    wchar_t path[MAX_PATH] = L"";
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) && pidl) {
        if (!SHGetPathFromIDListW(pidl, path)) path[0] = L'\0';
        CoTaskMemFree(pidl);
    }
    return path;
}

std::wstring RegString(HKEY root, const wchar_t* key, const wchar_t* name) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return {};
    wchar_t buf[1024] = L"";
    DWORD size = sizeof buf - sizeof(wchar_t);
    DWORD type = 0;
    LONG rc = RegQueryValueExW(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    buf[size / sizeof(wchar_t)] = L'\0';
    return buf;
}

}  // namespace

int wmain() {
    wchar_t buf[512];
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buf, 256) > 0)
        Put("short_date", buf);
    else
        Put("short_date", L"");
    SYSTEMTIME now;
    GetLocalTime(&now);
    wsprintfW(buf, L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
              now.wMinute, now.wSecond);
    Put("local_time", buf);
    Put("csidl_0", SpecialFolder(CSIDL_DESKTOP));
    Put("csidl_2", SpecialFolder(CSIDL_PROGRAMS));
    Put("csidl_23", SpecialFolder(CSIDL_COMMON_PROGRAMS));
    Put("csidl_25", SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY));
    Put("csidl_26", SpecialFolder(CSIDL_APPDATA));
    DWORD n = GetTempPathW(MAX_PATH, buf);
    Put("temp", n > 0 && n < MAX_PATH ? std::wstring(buf) : std::wstring());
    Put("program_files",
        RegString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion",
                  L"ProgramFilesDir"));
    n = GetWindowsDirectoryW(buf, MAX_PATH);
    Put("windows", n > 0 && n < MAX_PATH ? std::wstring(buf) : std::wstring());
    OSVERSIONINFOW vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&vi);
#pragma GCC diagnostic pop
    wsprintfW(buf, L"%lu.%lu", vi.dwMajorVersion, vi.dwMinorVersion);
    Put("version", buf);
    wsprintfW(buf, L"%04lx", static_cast<unsigned long>(GetUserDefaultLCID()));
    Put("user_lcid", buf);
    BOOL wow = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow);
    Put("wow64", wow ? L"1" : L"0");
    return 0;
}
