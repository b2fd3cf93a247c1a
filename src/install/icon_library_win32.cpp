#include "install/icon_library_win32.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>

#include "common/system_win32.h"
#include "common/win32_handles.h"
#include "install/icon_rule.h"
#include "install/paths_win32.h"

namespace pm {
namespace {

using GetSizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
using GetInfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

template <typename F>
F Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::string ToAnsi(const std::wstring& text) {
    char buffer[260] = {};
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, buffer, 259, nullptr, nullptr);
    return buffer;
}

}  // namespace

int ReadVersionAndCompany(const std::wstring& path, std::wstring& versionText,
                          std::wstring* company, std::size_t companyLength) {
    versionText.clear();
    if (company != nullptr) company->clear();
    win::Module library(win::LoadSystemLibrary(L"version.dll"));
    if (!library) return 0;
    const auto getSize = Lookup<GetSizeFn>(library.Get(), "GetFileVersionInfoSizeW");
    const auto getInfo = Lookup<GetInfoFn>(library.Get(), "GetFileVersionInfoW");
    const auto query = Lookup<QueryFn>(library.Get(), "VerQueryValueW");
    if (getSize == nullptr || getInfo == nullptr || query == nullptr) return 0;

    DWORD ignored = 0;
    const DWORD size = getSize(path.c_str(), &ignored);
    if (size == 0) return 0;
    std::unique_ptr<char[]> block(new (std::nothrow) char[2 * static_cast<std::size_t>(size)]());
    if (!block || !getInfo(path.c_str(), 0, 2 * size, block.get())) return 0;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (!query(block.get(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLength) ||
        fixed == nullptr || fixedLength < sizeof(VS_FIXEDFILEINFO)) {
        return 0;
    }
    versionText = FormatIconLibraryVersion(fixed->dwProductVersionMS, fixed->dwFileVersionLS);

    if (company != nullptr && companyLength > 0) {
        wchar_t* name = nullptr;
        UINT nameLength = 0;
        if (query(block.get(), L"\\StringFileInfo\\040904E4\\CompanyName",
                  reinterpret_cast<void**>(&name), &nameLength) &&
            name != nullptr) {
            std::wstring text(name, wcsnlen(name, nameLength));
            if (text.size() > companyLength - 1) text.resize(companyLength - 1);
            *company = text;
        }
    }
    return 1;
}

std::uint64_t QueryFileSize(const std::wstring& path) {
    if (path.empty()) return 0;
    win::CFile file(_wfopen(path.c_str(), L"rb"));
    if (!file || _fseeki64(file.Get(), 0, SEEK_END) != 0) return 0;
    const long long position = _ftelli64(file.Get());
    return position > 0 ? static_cast<std::uint64_t>(position) : 0;
}

int DecideIconLibraryRule(const std::wstring& targetFolder) {
    std::wstring plugins = targetFolder + L"Plugins";
    CreateFolderPath(plugins);  // result not used; the text now ends in a backslash
    const std::wstring library = plugins + L"Icons.dll";
    std::wstring versionText;
    std::wstring company;
    const int read = ReadVersionAndCompany(library, versionText, &company, 260);
    const std::uint64_t size = read == 1 ? QueryFileSize(library) : 0;
    return DecideSkipIconLibrary(read, ToAnsi(versionText), size, company);
}

}  // namespace pm
