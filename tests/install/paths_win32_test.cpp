#include "install/paths_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/win32_handles.h"
#include "win_temp_folder.h"

namespace pm {
namespace {

using test::TempFolder;

TEST(CreateFolderPathWin32, ExistingFolderGainsBackslashOnly) {
    TempFolder tmp;
    ::CreateDirectoryW(tmp.Sub(L"here").c_str(), nullptr);
    ::SetCurrentDirectoryW(L"C:\\");
    std::wstring path = tmp.Sub(L"here");
    EXPECT_EQ(CreateFolderPath(path), 1);
    EXPECT_EQ(path, tmp.Sub(L"here\\"));
    EXPECT_EQ(TempFolder::Current(), L"C:\\");
}

TEST(CreateFolderPathWin32, CreatesMissingLevelsWithoutBlanksBeforeSeparators) {
    TempFolder tmp;
    std::wstring path = L"  " + tmp.Sub(L"new one \\deeper  \\last  ");
    EXPECT_EQ(CreateFolderPath(path), 1);
    EXPECT_EQ(path, tmp.Sub(L"new one\\deeper\\last\\"));
    EXPECT_TRUE(TempFolder::IsFolder(tmp.Sub(L"new one\\deeper\\last")));
    EXPECT_EQ(TempFolder::Current(), tmp.Path());
}

TEST(CreateFolderPathWin32, RelativePathBelowTheCurrentDirectory) {
    TempFolder tmp;
    std::wstring path = L"rel\\deep";
    EXPECT_EQ(CreateFolderPath(path), 1);
    EXPECT_EQ(path, L"rel\\deep\\");
    EXPECT_TRUE(TempFolder::IsFolder(tmp.Sub(L"rel\\deep")));
    EXPECT_EQ(TempFolder::Current(), tmp.Path());
}

TEST(CreateFolderPathWin32, DriveRoot) {
    std::wstring path = L"C:";
    EXPECT_EQ(CreateFolderPath(path), 1);
    EXPECT_EQ(path, L"C:\\");
}

TEST(CreateFolderPathWin32, RefusedPaths) {
    TempFolder tmp;
    ::CloseHandle(
        ::CreateFileW(tmp.Sub(L"file").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    const std::wstring tooLong = tmp.Sub(std::wstring(260, L'x'));
    struct Case {
        std::wstring path;
        std::wstring after;
    } cases[] = {
        {L"", L""},
        {L"    ", L""},
        {tmp.Sub(L"file\\sub"), tmp.Sub(L"file\\sub\\")},  // a file stands in the way
        {tooLong, tooLong},                                // longer than a path may be
    };
    for (const Case& c : cases) {
        std::wstring path = c.path;
        EXPECT_EQ(CreateFolderPath(path), 0) << c.path;
        EXPECT_EQ(path, c.after);
        EXPECT_EQ(TempFolder::Current(), tmp.Path());
    }
    EXPECT_FALSE(TempFolder::IsFolder(tmp.Sub(L"xxxxxxxx")));
}

// Wine maps no network shares: the server and share levels cannot be created and the path
// cannot be entered, so the result is 0; the two leading backslashes stay in the text and the
// current directory is unchanged.
TEST(CreateFolderPathWin32, NetworkPathUnderWine) {
    TempFolder tmp;
    std::wstring path = L"\\\\nohost\\share\\dir ";
    EXPECT_EQ(CreateFolderPath(path), 0);
    EXPECT_EQ(path, L"\\\\nohost\\share\\dir\\");
    EXPECT_EQ(TempFolder::Current(), tmp.Path());
}

// Registry tests write into the throw-away prefix of the test run and restore what they
// changed.
constexpr wchar_t kClassKey[] = L"SOFTWARE\\Classes\\Pixelmoor";
constexpr wchar_t kCommandKey[] = L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command";
constexpr wchar_t kVersionKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion";

void SetString(const wchar_t* keyName, const wchar_t* valueName, const std::wstring& value) {
    win::RegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                key.Put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(key.Get(), valueName, 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

TEST(InstallFolderRegistryWin32, FindExistingInstallFolder) {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey);
    std::wstring folder = L"stale";
    EXPECT_EQ(FindExistingInstallFolder(folder), 0);
    EXPECT_EQ(folder, L"");

    SetString(kCommandKey, nullptr, L"\"D:\\Tools\\Pixelmoor\\p_moor32.exe\" \"%1\"");
    EXPECT_EQ(FindExistingInstallFolder(folder), 1);
    EXPECT_EQ(folder, L"D:\\Tools\\Pixelmoor\\");

    SetString(kCommandKey, nullptr, L"\"D:\\Tools\\Other\\viewer.exe\" \"%1\"");
    EXPECT_EQ(FindExistingInstallFolder(folder), 0);
    EXPECT_EQ(folder, L"");

    SetString(kCommandKey, nullptr, L"");
    EXPECT_EQ(FindExistingInstallFolder(folder), 0);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey);
}

TEST(InstallFolderRegistryWin32, GetDefaultInstallFolder) {
    wchar_t saved[MAX_PATH] = {};
    DWORD size = sizeof saved;
    ASSERT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE, kVersionKey, L"ProgramFilesDir", RRF_RT_REG_SZ,
                             nullptr, saved, &size),
              ERROR_SUCCESS);
    win::ScopeExit restore([&] { SetString(kVersionKey, L"ProgramFilesDir", saved); });

    std::wstring folder;
    EXPECT_EQ(GetDefaultInstallFolder(folder), 1);
    EXPECT_EQ(folder, std::wstring(saved) + L"\\Pixelmoor");

    SetString(kVersionKey, L"ProgramFilesDir", L"E:\\Apps\\");
    EXPECT_EQ(GetDefaultInstallFolder(folder), 1);
    EXPECT_EQ(folder, L"E:\\Apps\\Pixelmoor");

    win::RegKey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_SET_VALUE, key.Put()),
              ERROR_SUCCESS);
    ::RegDeleteValueW(key.Get(), L"ProgramFilesDir");
    EXPECT_EQ(GetDefaultInstallFolder(folder), 1);
    EXPECT_EQ(folder, L"C:\\Pixelmoor\\");
}

}  // namespace
}  // namespace pm
