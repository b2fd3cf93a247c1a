#include "shell/catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "common/text.h"

namespace pm {
namespace {

TEST(FileTypeCatalogue, RowsAreConsistentWithTheirTexts) {
    const auto rows = FileTypeCatalogue();
    size_t extensions = 0;
    for (int i = 0; i < kFileTypeRows; ++i) {
        const FileTypeRow& row = rows[i];
        SCOPED_TRACE(i);
        // The list text is the registered extensions in upper case, in registration order.
        std::wstring list;
        for (const auto& e : row.extensions) {
            if (!list.empty()) list += L"/";
            list += AsciiUpper(e.extension);
            EXPECT_EQ(std::wstring(e.extension), AsciiLower(e.extension));
        }
        EXPECT_EQ(list, row.extensionList);
        const std::wstring description = row.description;
        EXPECT_EQ(row.plugIn, description.ends_with(L" *"));
        extensions += row.extensions.size();
    }
    EXPECT_EQ(extensions, 86u);
}

TEST(FileTypeCatalogue, GroupsAndIconsFollowTheRowIndex) {
    const auto rows = FileTypeCatalogue();
    EXPECT_STREQ(rows[0].extensionList, L"ANI");
    EXPECT_STREQ(rows[kFileTypeImageRows - 1].extensionList, L"XPM");
    EXPECT_STREQ(rows[kFileTypeImageRows].extensionList, L"SWF/FLV");
    EXPECT_STREQ(rows[kFileTypeRows - 1].extensionList, L"WMA");
    for (int i = 0; i < kFileTypeRows; ++i) {
        IconSource expected = IconSource::Viewer0;
        if (i == 0 || i == 5 || i == 19) expected = IconSource::FileItself;  // ANI, CUR, ICO
        if (i >= 50 && i <= 54) expected = IconSource::Viewer9;
        if (i >= 55) expected = IconSource::Viewer8;
        EXPECT_EQ(rows[i].icon, expected) << rows[i].extensionList;
    }
}

TEST(FileTypeCatalogue, SharedAndSeparateClasses) {
    std::map<std::wstring, std::wstring> suffixOf;
    for (const auto& row : FileTypeCatalogue())
        for (const auto& e : row.extensions)
            EXPECT_TRUE(suffixOf.emplace(e.extension, e.classSuffix).second);
    const std::map<std::wstring, std::wstring> cases = {
        {L"dib", L"bmp"}, {L"acr", L"dcm"},  {L"ima", L"dcm"},  {L"iw44", L"djvu"},
        {L"ps", L"eps"},  {L"jxr", L"hdp"},  {L"wdp", L"hdp"},  {L"lbm", L"iff"},
        {L"j2k", L"jp2"}, {L"jpc", L"jp2"},  {L"jpeg", L"jpg"}, {L"jfif", L"jpg"},
        {L"jpe", L"jpg"}, {L"sun", L"ras"},  {L"rgb", L"sgi"},  {L"tiff", L"tif"},
        {L"snd", L"au"},  {L"mpeg", L"mpg"}, {L"mpe", L"mpe"},  {L"cr2", L"cr2"},
        {L"cr3", L"cr3"}, {L"jng", L"jng"},  {L"flv", L"flv"},  {L"rmi", L"rmi"},
    };
    for (const auto& [extension, suffix] : cases)
        EXPECT_EQ(suffixOf[extension], suffix) << extension;
}

}  // namespace
}  // namespace pm
