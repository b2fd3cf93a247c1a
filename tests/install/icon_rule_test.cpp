#include "install/icon_rule.h"

#include <gtest/gtest.h>

namespace pm {
namespace {

TEST(IconRuleTest, VersionNumbersUseSinglePrecision) {
    EXPECT_EQ(VersionNumberFromText("4.30"), 4300);
    EXPECT_EQ(VersionNumberFromText("4.31"), 4310);
    EXPECT_EQ(VersionNumberFromText("4.40"), 4400);
    EXPECT_EQ(VersionNumberFromText("4.250"), 4250);
    EXPECT_EQ(VersionNumberFromText(""), 0);
    EXPECT_EQ(FormatIconLibraryVersion(0x00040003, 0x00000007), L"4.30");
    EXPECT_EQ(FormatIconLibraryVersion(0x00040019, 0x00190000), L"4.2525");
    EXPECT_EQ(FormatIconLibraryVersion(0x00040019, 0x00000000), L"4.250");
}

TEST(IconRuleTest, DecisionTable) {
    struct Case {
        int read;
        const char* version;
        std::uint64_t size;
        const wchar_t* company;
        int skip;
    };
    const Case cases[] = {
        {0, "", 0, L"", 0},  // no library yet: written
        {1, "4.31", kReferenceIconLibrarySize, L"Brightfen Lab", 1},
        {1, "4.40", 1, L"Brightfen Lab", 1},
        {1, "4.30", kReferenceIconLibrarySize, L"Brightfen Lab", 0},
        {1, "4.30", kReferenceIconLibrarySize, L"BRIGHTFEN lab", 0},
        {1, "4.30", kReferenceIconLibrarySize, L"Other Maker", 1},
        {1, "4.30", kReferenceIconLibrarySize + 1, L"Brightfen Lab", 1},
        {1, "4.30", 1000, L"Brightfen Lab", 1},
        {1, "4.250", 5000, L"Brightfen Lab", 0},
        {1, "4.250", 5000, L"brightfen lab", 0},
        {1, "4.250", 5000, L"Another", 1},
        {1, "4.250", 5000, L"", 1},  // no CompanyName: kept
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecideSkipIconLibrary(c.read, c.version, c.size, c.company), c.skip)
            << c.version << " " << c.size;
    }
}

}  // namespace
}  // namespace pm
