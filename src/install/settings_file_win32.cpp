#include "install/settings_file_win32.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <vector>

#include "common/win32_handles.h"
#include "install/settings_file.h"

namespace pm {
namespace {

int ScreenScalePercent() {
    HDC display = ::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (display == nullptr) return 100;
    const int scale = ScaleFromLogPixels(::GetDeviceCaps(display, LOGPIXELSX));
    ::DeleteDC(display);
    return scale;
}

bool ReadWholeFile(FILE* file, std::string& bytes) {
    char buffer[0x8000];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, read);
    return std::ferror(file) == 0;
}

}  // namespace

std::string AnsiToUtf16Le(std::string_view ansi) {
    if (ansi.empty() || ansi.size() > static_cast<std::size_t>(INT_MAX)) return std::string();
    const int length = static_cast<int>(ansi.size());
    const int wide = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (wide <= 0) return std::string();
    std::vector<wchar_t> text(static_cast<std::size_t>(wide));
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, text.data(), wide);
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

void SeedSettingsFiles(const std::wstring& activeSettingsFile,
                       const std::wstring& installSettingsFile, int portableLayout) {
    const wchar_t* active = activeSettingsFile.c_str();
    const wchar_t* install = installSettingsFile.c_str();
    ::WritePrivateProfileStringW(L"Language", L"DLL", L"DEUTSCH.DLL", active);
    ::WritePrivateProfileStringW(L"Language", L"Lang", L"Deutsch", active);
    if (portableLayout) {
        ::WritePrivateProfileStringW(L"Language", L"DefaultLang", L"DEUTSCH.DLL", install);
        ::WritePrivateProfileStringW(L"Language", L"Lang", L"Deutsch", install);
    }
    wchar_t skin[260] = {};
    ::GetPrivateProfileStringW(L"Toolbar", L"Skin", L"", skin, 260, active);
    if (skin[0] != L'\0') return;
    const ToolbarSkin chosen =
        ChooseToolbarSkin([] { return ::GetSystemMetrics(SM_CYFULLSCREEN); }, ScreenScalePercent());
    ::WritePrivateProfileStringW(L"Toolbar", L"Skin", chosen.skin, active);
    ::WritePrivateProfileStringW(L"Toolbar", L"Size", chosen.size, active);
    if (portableLayout) {
        ::WritePrivateProfileStringW(L"Toolbar", L"Skin", L"Ribbonet_24.png", install);
        ::WritePrivateProfileStringW(L"Toolbar", L"Size", L"24", install);
    }
}

int ConvertSettingsFileToUnicode(const std::wstring& path) {
    std::string content;
    {
        win::CFile source(_wfopen(path.c_str(), L"rb"));
        if (!source) return 1;
        if (!ReadWholeFile(source.Get(), content)) return 1;
    }
    if (HasUtf16Bom(content)) return 1;

    const std::size_t cut = path.find_last_of(L"\\/");
    std::wstring temporary = cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
    temporary += L"p_moor32.ini_temp";

    // A file whose text cannot be converted stays as it is rather than lose its content.
    const std::string body = AnsiToUtf16Le(content);
    if (!content.empty() && body.empty()) return 1;
    const std::string converted =
        BuildUnicodeSettingsFile(content, [&body](std::string_view) { return body; });
    {
        win::CFile target(_wfopen(temporary.c_str(), L"wb"));
        if (!target) return 1;
        if (std::fwrite(converted.data(), 1, converted.size(), target.Get()) != converted.size()) {
            return 1;
        }
        if (std::fclose(target.Detach()) != 0) return 1;
    }
    if (content.empty()) return 1;
    return ::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
}

}  // namespace pm
