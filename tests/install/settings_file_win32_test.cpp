#include "install/settings_file_win32.h"

#include <gtest/gtest.h>

#include "common/text.h"
#include "common/win32_handles.h"
#include "install/install_steps_win32.h"
#include "install/settings_file.h"
#include "win_test_folder.h"

namespace pm {
namespace {

using test::ReadBytes;
using test::ScratchFolder;

std::wstring Key(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    wchar_t value[260] = {};
    ::GetPrivateProfileStringW(section, key, L"<none>", value, 260, file.c_str());
    return value;
}

const std::string kHeader = "\xFF\xFE" + ToUtf16Le(L"; UNICODE FILE - edit with care ;-)\r\n\r\n");

TEST(SettingsFileWin32Test, SeedsLanguageAlwaysAndTheSkinOnce) {
    ScratchFolder folder;
    const std::wstring active = folder / L"p_moor32.ini";
    SeedSettingsFiles(active, active, 0);
    EXPECT_EQ(Key(active, L"Language", L"DLL"), L"DEUTSCH.DLL");
    EXPECT_EQ(Key(active, L"Language", L"Lang"), L"Deutsch");
    HDC display = ::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    const int scale = display ? ScaleFromLogPixels(::GetDeviceCaps(display, LOGPIXELSX)) : 100;
    if (display) ::DeleteDC(display);
    const ToolbarSkin expected =
        ChooseToolbarSkin([] { return ::GetSystemMetrics(SM_CYFULLSCREEN); }, scale);
    EXPECT_EQ(Key(active, L"Toolbar", L"Skin"), expected.skin);
    EXPECT_EQ(Key(active, L"Toolbar", L"Size"), expected.size);

    ::WritePrivateProfileStringW(L"Toolbar", L"Skin", L"Mine.png", active.c_str());
    ::WritePrivateProfileStringW(L"Language", L"Lang", L"English", active.c_str());
    ASSERT_EQ(ConvertSettingsFileToUnicode(active), 1);
    SeedSettingsFiles(active, active, 0);
    EXPECT_EQ(Key(active, L"Language", L"Lang"), L"Deutsch");
    EXPECT_EQ(Key(active, L"Toolbar", L"Skin"), L"Mine.png");
    // Still UTF-16 with one header comment (Wine's profile functions drop the empty line when
    // they rewrite a file, Windows keeps it).
    const std::string bytes = ReadBytes(active);
    const std::string comment = ToUtf16Le(L"; UNICODE FILE - edit with care ;-)\r\n");
    EXPECT_EQ(bytes.substr(0, 2 + comment.size()), "\xFF\xFE" + comment);
    EXPECT_EQ(bytes.find(comment, 4), std::string::npos);  // not converted twice
    EXPECT_NE(bytes.find(ToUtf16Le(L"Lang=Deutsch")), std::string::npos);
    EXPECT_EQ(ConvertSettingsFileToUnicode(active), 1);
    EXPECT_EQ(ReadBytes(active), bytes);
}

TEST(SettingsFileWin32Test, ConversionKeepsEveryCharacter) {
    ScratchFolder folder;
    const std::wstring file = folder / L"p_moor32.ini";
    std::string content = "[Others]\r\nText=";
    for (int b = 0x20; b <= 0xFF; ++b) content += static_cast<char>(b);
    content += "\r\nNul=a";
    content += '\0';
    content += "b\r\nLong=" + std::string(5000, 'L') + "\xE4\r\n";
    test::WriteBytes(file, content);
    ASSERT_EQ(ConvertSettingsFileToUnicode(file), 1);

    std::wstring wide;
    for (char c : content) {  // byte by byte, which holds for a single-byte code page
        wchar_t w = 0;
        ::MultiByteToWideChar(CP_ACP, 0, &c, 1, &w, 1);
        wide += w;
    }
    CPINFO info{};
    ::GetCPInfo(CP_ACP, &info);
    if (info.MaxCharSize == 1) {
        EXPECT_EQ(ReadBytes(file), kHeader + ToUtf16Le(wide));
    }
    EXPECT_EQ(ReadBytes(file).size(), kHeader.size() + AnsiToUtf16Le(content).size());
    EXPECT_FALSE(test::Exists(folder / L"p_moor32.ini_temp"));
}

TEST(SettingsFileWin32Test, FilesThatAreNotConverted) {
    ScratchFolder folder;
    EXPECT_EQ(ConvertSettingsFileToUnicode(folder / L"missing.ini"), 1);
    EXPECT_FALSE(test::Exists(folder / L"p_moor32.ini_temp"));

    const std::wstring empty = folder / L"p_moor32.ini";
    test::WriteBytes(empty, "");
    EXPECT_EQ(ConvertSettingsFileToUnicode(empty), 1);
    EXPECT_EQ(ReadBytes(empty), "");
    EXPECT_EQ(ReadBytes(folder / L"p_moor32.ini_temp"), kHeader);

    // Held open by the viewer: the 8-bit file stays, the temporary file remains beside it.
    ::DeleteFileW((folder / L"p_moor32.ini_temp").c_str());
    test::WriteBytes(empty, "[Language]\r\nLang=Deutsch\r\n");
    {
        win::FileHandle held(::CreateFileW(empty.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(ConvertSettingsFileToUnicode(empty), 0);
    }
    EXPECT_EQ(ReadBytes(empty), "[Language]\r\nLang=Deutsch\r\n");
    EXPECT_EQ(ReadBytes(folder / L"p_moor32.ini_temp"),
              kHeader + ToUtf16Le(L"[Language]\r\nLang=Deutsch\r\n"));
}

TEST(SettingsFileWin32Test, PlacesTheSettingsFiles) {
    ScratchFolder folder;
    const std::wstring install = folder / L"Pixelmoor";
    ::CreateDirectoryW(install.c_str(), nullptr);
    const std::wstring installIni = install + L"\\p_moor32.ini";
    ::SetEnvironmentVariableW(L"PM_TEST_ROAMING", (folder / L"Roaming").c_str());

    // Silent default below the default folder: the roaming folder holds the active file.
    InstallOptions options;
    options.installFolder = install + L"  ";
    options.silent = 1;
    std::wstring active = PlaceSettingsFiles(options, install);
    EXPECT_EQ(options.settingsFolder, L"%APPDATA%\\Pixelmoor");
    EXPECT_EQ(Key(installIni, L"Others", L"INI_Folder"), L"%APPDATA%\\Pixelmoor");
    EXPECT_EQ(Key(active, L"Language", L"DLL"), L"DEUTSCH.DLL");
    EXPECT_EQ(Key(installIni, L"Language", L"DLL"), L"<none>");

    // A settings folder with a known and an unknown variable.
    options.settingsFolder = L"%PM_TEST_ROAMING%\\%PM_TEST_UNKNOWN%Pixelmoor32_App";
    active = PlaceSettingsFiles(options, L"C:\\elsewhere");
    EXPECT_EQ(active, (folder / L"Roaming\\Pixelmoor32_App\\p_moor32.ini"));
    EXPECT_EQ(Key(installIni, L"Others", L"INI_Folder"), options.settingsFolder);
    EXPECT_EQ(Key(installIni, L"Language", L"DefaultLang"), L"DEUTSCH.DLL");  // portable layout
    EXPECT_EQ(Key(installIni, L"Toolbar", L"Skin"), L"Ribbonet_24.png");
    EXPECT_EQ(Key(installIni, L"Toolbar", L"Size"), L"24");

    // No settings folder any more: the stale key goes.
    options.settingsFolder.clear();
    options.silent = 0;
    active = PlaceSettingsFiles(options, install);
    EXPECT_EQ(active, installIni);
    EXPECT_EQ(Key(installIni, L"Others", L"INI_Folder"), L"<none>");
    EXPECT_EQ(Key(installIni, L"Language", L"Lang"), L"Deutsch");
}

}  // namespace
}  // namespace pm
