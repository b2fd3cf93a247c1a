#include "app/cmdline.h"

#include <gtest/gtest.h>

#include <numeric>

namespace pm {
namespace {

const std::wstring kProgram = L"\"C:\\setup\\pixelmoor-4.59-setup-x32.exe\" ";
const FolderDefaults kNoInstallation{std::nullopt, L"C:\\Program Files\\Pixelmoor"};
const FolderDefaults kInstalled{std::wstring(L"D:\\Tools\\Pixelmoor\\"),
                                L"C:\\Program Files\\Pixelmoor"};

InstallOptions Parse(const std::wstring& args, const FolderDefaults& defaults = kNoInstallation) {
    return ParseSilentOptions(kProgram + args, defaults);
}

int CountTypes(const InstallOptions& o) {
    return std::accumulate(o.typeSelection.begin(), o.typeSelection.end(), 0);
}

TEST(CommandLine, SilentIsAPlainCaseSensitiveSubstring) {
    EXPECT_TRUE(IsSilentCommandLine(kProgram + L"/silent"));
    EXPECT_TRUE(IsSilentCommandLine(kProgram + L"/silently=yes /folder=C:\\x"));
    EXPECT_TRUE(IsSilentCommandLine(L"\"C:\\a/silent\\setup.exe\""));  // the program path counts
    EXPECT_FALSE(IsSilentCommandLine(kProgram + L"/SILENT"));
    EXPECT_FALSE(IsSilentCommandLine(kProgram + L"/Silent /folder=C:\\x"));
    EXPECT_FALSE(IsSilentCommandLine(kProgram));
}

TEST(CommandLine, DefaultsWithoutOptions) {
    InstallOptions o = Parse(L"/silent");
    EXPECT_EQ(o.installFolder, L"C:\\Program Files\\Pixelmoor");
    EXPECT_EQ(o.settingsFolder, L"%APPDATA%\\Pixelmoor");
    EXPECT_EQ(o.silent, 1);
    EXPECT_EQ(o.caption, L"Pixelmoor 32-bit Setup");
    EXPECT_EQ(o.desktopLink + o.thumbnailsLink + o.startMenuGroup + o.allUsers + o.allUsersXp +
                  o.anyTypeChosen + CountTypes(o),
              0);

    InstallOptions existing = Parse(L"/silent", kInstalled);
    EXPECT_EQ(existing.installFolder, L"D:\\Tools\\Pixelmoor\\");
    EXPECT_EQ(existing.settingsFolder, L"");
}

TEST(CommandLine, QuotedFolderFollowedByMoreOptions) {
    InstallOptions o = Parse(
        L"/silent /folder=\"C:\\Program Files\\My Viewer\" /desktop=1 /thumbs= 2 /group=-1 "
        L"/allusers=x");
    EXPECT_EQ(o.installFolder, L"C:\\Program Files\\My Viewer");
    EXPECT_EQ(o.desktopLink, 1);
    EXPECT_EQ(o.thumbnailsLink, 2);
    EXPECT_EQ(o.startMenuGroup, -1);
    EXPECT_EQ(o.allUsers, 0);
}

TEST(CommandLine, FolderValues) {
    struct Case {
        std::wstring args;
        std::wstring folder;
    } cases[] = {
        {L"/silent /folder=", L""},  // clears the default
        {L"/silent /folder=   ", L""},
        {L"/silent /folder=C:\\One /folder=C:\\Two", L"C:\\One"},  // first occurrence counts
        {L"/silent /folder=C:/Program Files/X", L"C:"},            // cut at the first "/"
        {L"/silent /folder=\"\"\"C:\\x\"\"", L"\"\"C:\\x\""},      // one quote at each end
        {L"/silent /folder=  \"C:\\x\"", L"  \"C:\\x"},            // leading blanks stay
    };
    for (const Case& c : cases) EXPECT_EQ(Parse(c.args).installFolder, c.folder) << c.args;
}

TEST(CommandLine, AssociationValues) {
    struct Case {
        std::wstring args;
        int types;
        int any;
    } cases[] = {
        {L"/silent /assoc=1", kImageTypeRows, 1},
        {L"/silent /assoc=2", kTypeSelectionSize, 1},
        {L"/silent /assoc= 2 /desktop=1", kTypeSelectionSize, 1},
        {L"/silent /assoc=0", 0, 0},
        {L"/silent /assoc=3", 0, 0},
        {L"/silent /assoc=images", 0, 0},
        {L"/silent /assocallusers=1", 0, 0},  // "/assoc=" is not inside "/assocallusers"
    };
    for (const Case& c : cases) {
        InstallOptions o = Parse(c.args);
        EXPECT_EQ(CountTypes(o), c.types) << c.args;
        EXPECT_EQ(o.anyTypeChosen, c.any) << c.args;
    }
    InstallOptions images = Parse(L"/silent /assoc=1");
    EXPECT_EQ(images.typeSelection[kImageTypeRows - 1], 1);
    EXPECT_EQ(images.typeSelection[kImageTypeRows], 0);
}

TEST(CommandLine, AssocAllUsersIsPresenceOnly) {
    EXPECT_EQ(Parse(L"/silent /assocallusers").allUsersXp, 1);
    EXPECT_EQ(Parse(L"/silent /assocallusers=0").allUsersXp, 1);
    EXPECT_EQ(Parse(L"/silent /assoc=1").allUsersXp, 0);
}

TEST(CommandLine, SettingsFolder) {
    EXPECT_EQ(Parse(L"/silent /ini=").settingsFolder, L"");
    EXPECT_EQ(Parse(L"/silent /ini=", kInstalled).settingsFolder, L"");
    EXPECT_EQ(Parse(L"/silent /ini=\"%LOCALAPPDATA%\\PM Settings\" /group=1").settingsFolder,
              L"%LOCALAPPDATA%\\PM Settings");
    EXPECT_EQ(Parse(L"/silent /ini=D:\\Settings", kInstalled).settingsFolder, L"D:\\Settings");
}

TEST(CommandLine, ValueReachAndLineLength) {
    // A value ends 260 characters after its option's "/".
    const std::wstring longFolder = L"C:\\" + std::wstring(300, L'a');
    EXPECT_EQ(Parse(L"/silent /folder=" + longFolder).installFolder, longFolder.substr(0, 252));
    EXPECT_EQ(Parse(L"/silent /ini=" + longFolder).settingsFolder, longFolder.substr(0, 255));

    // Only the first 519 characters of the line are searched.
    const std::wstring line = kProgram + L"/silent /folder=C:\\x ";
    const std::wstring pad(519 - line.size() - 10, L' ');
    InstallOptions o = ParseSilentOptions(line + pad + L"/desktop=1 /group=1", kNoInstallation);
    EXPECT_EQ(o.desktopLink, 1);  // ends exactly at character 519
    EXPECT_EQ(o.startMenuGroup, 0);
    InstallOptions cut = ParseSilentOptions(line + pad + L"/desktop=12345", kNoInstallation);
    EXPECT_EQ(cut.desktopLink, 1);
    const std::wstring folderAtEnd = kProgram + L"/silent" +
                                     std::wstring(519 - kProgram.size() - 7 - 12, L' ') +
                                     L"/folder=C:\\abcdef";
    EXPECT_EQ(ParseSilentOptions(folderAtEnd, kNoInstallation).installFolder, L"C:\\a");
}

TEST(CommandLine, ExtractOptionValueStopsAtSlashLimitOrTerminator) {
    std::wstring value = L"old";
    EXPECT_EQ(ExtractOptionValue(L"/group=12 /x", value, 7, 260), 10u);
    EXPECT_EQ(value, L"12 ");
    EXPECT_EQ(ExtractOptionValue(L"/group=12345", value, 7, 9), 9u);
    EXPECT_EQ(value, L"12");
    EXPECT_EQ(ExtractOptionValue(std::wstring(L"/ini=a\0b", 8), value, 5, 260), 6u);
    EXPECT_EQ(value, L"a");
    EXPECT_EQ(ExtractOptionValue(L"/ini=", value, 5, 260), 5u);
    EXPECT_EQ(value, L"");
}

TEST(CommandLine, UnquoteValue) {
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"", L""},
        {L"\"", L""},
        {L"\"\"", L""},
        {L"\"C:\\x\"  ", L"C:\\x"},
        {L"\"C:\\x \"", L"C:\\x"},
        {L" C:\\x ", L" C:\\x"},
        {L"C:\\x\"", L"C:\\x"},
        {L"\"C:\\x", L"C:\\x"},
    };
    for (const Case& c : cases) {
        std::wstring t = c.in;
        UnquoteValue(t);
        EXPECT_EQ(t, c.out) << c.in;
    }
}

TEST(CommandLine, NumbersConvertLikeWcstol) {
    struct Case {
        std::wstring in;
        int32_t out;
    } cases[] = {
        {L"1", 1},
        {L"  42 ", 42},
        {L"\t+7", 7},
        {L"-3x", -3},
        {L"x1", 0},
        {L"", 0},
        {L"- 1", 0},
        {L"0010", 10},
        {L"99999999999", INT32_MAX},
        {L"-99999999999", INT32_MIN},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseNumber(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace pm
