#include "install/icon_library_win32.h"

#include <gtest/gtest.h>

#include "win_test_folder.h"

namespace pm {
namespace {

// The test icon libraries are built beside the test program.
std::wstring TestLibrary(const wchar_t* name) {
    wchar_t program[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path = program;
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name + L".dll";
}

TEST(IconLibraryWin32Test, ReadsVersionCompanyAndSize) {
    std::wstring version;
    std::wstring company;
    ASSERT_EQ(ReadVersionAndCompany(TestLibrary(L"icons_431"), version, &company, 260), 1);
    EXPECT_EQ(version, L"4.31");
    EXPECT_EQ(company, L"Brightfen Lab");
    ASSERT_EQ(ReadVersionAndCompany(TestLibrary(L"icons_425"), version, &company, 5), 1);
    EXPECT_EQ(version, L"4.250");
    EXPECT_EQ(company, L"Brig");
    EXPECT_EQ(ReadVersionAndCompany(TestLibrary(L"icons_unversioned"), version, &company, 260), 0);
    EXPECT_EQ(ReadVersionAndCompany(TestLibrary(L"missing"), version, &company, 260), 0);
    EXPECT_EQ(QueryFileSize(TestLibrary(L"icons_430_exact")), 226'816u);
    EXPECT_EQ(QueryFileSize(L""), 0u);
    EXPECT_EQ(QueryFileSize(TestLibrary(L"missing")), 0u);
}

TEST(IconLibraryWin32Test, RuleOnInstalledLibraries) {
    struct Case {
        const wchar_t* library;  // nullptr: no icon library installed
        int skip;
    };
    const Case cases[] = {
        {nullptr, 0},
        {L"icons_431", 1},
        {L"icons_440", 1},
        {L"icons_430_exact", 0},  // 226,816 bytes and the maker in other letter case
        {L"icons_430_other_size", 1},
        {L"icons_425", 0},
        {L"icons_425_other_maker", 1},
        {L"icons_unversioned", 0},
    };
    for (const Case& c : cases) {
        test::ScratchFolder target;
        const std::wstring folder = target / L"";
        if (c.library != nullptr) {
            ::CreateDirectoryW((folder + L"Plugins").c_str(), nullptr);
            ASSERT_TRUE(::CopyFileW(TestLibrary(c.library).c_str(),
                                    (folder + L"Plugins\\Icons.dll").c_str(), FALSE));
        }
        EXPECT_EQ(DecideIconLibraryRule(folder), c.skip) << (c.library ? c.library : L"none");
        EXPECT_TRUE(test::Exists(folder + L"Plugins"));
    }
}

}  // namespace
}  // namespace pm
