#include "common/system_win32.h"

#include <gtest/gtest.h>

TEST(SystemWin32, SystemLibrariesComeFromTheSystemDirectory) {
    const std::wstring path = pm::win::SystemDirectoryFile(L"version.dll");
    EXPECT_NE(path.find(L"\\version.dll"), std::wstring::npos);
    EXPECT_EQ(path.find(L"\\\\"), std::wstring::npos);
    HMODULE m = pm::win::LoadSystemLibrary(L"version.dll");
    ASSERT_NE(m, nullptr);
    ::FreeLibrary(m);
}
