#include "install/paths.h"

#include <gtest/gtest.h>

#include "install/limits.h"

namespace pm {
namespace {

TEST(Paths, TrimSpaces) {
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"", L""},
        {L"   ", L""},
        {L"  C:\\x  ", L"C:\\x"},
        {L"C:\\a b", L"C:\\a b"},
        {L"\tC:\\x\t", L"\tC:\\x\t"},  // blanks are U+0020 only
        {L" " + std::wstring(258, L'a') + L"  ", std::wstring(258, L'a')},
        // 260 characters or more after the trailing blanks went: leading blanks stay
        {L" " + std::wstring(259, L'a') + L" ", L" " + std::wstring(259, L'a')},
    };
    for (const Case& c : cases) {
        std::wstring t = c.in;
        TrimSpaces(t);
        EXPECT_EQ(t, c.out) << c.in.size();
    }
}

TEST(Paths, AppendBackslash) {
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"", L""},
        {L"C:", L"C:\\"},
        {L"C:\\", L"C:\\"},
        {std::wstring(258, L'a'), std::wstring(258, L'a') + L"\\"},
        {std::wstring(259, L'a'), std::wstring(259, L'a')},
        {std::wstring(300, L'a'), std::wstring(300, L'a')},
    };
    for (const Case& c : cases) {
        std::wstring t = c.in;
        AppendBackslash(t);
        EXPECT_EQ(t, c.out) << c.in.size();
    }
}

TEST(Paths, FolderLevelPlan) {
    using Levels = std::vector<std::wstring>;
    struct Case {
        std::wstring in;
        Levels levels;
        std::wstring path;
    } cases[] = {
        {L"C:\\", {L"C:"}, L"C:\\"},
        {L"C:\\A\\B\\", {L"C:", L"C:\\A", L"C:\\A\\B"}, L"C:\\A\\B\\"},
        {L"C:\\My Dir \\Sub  \\", {L"C:", L"C:\\My Dir", L"C:\\My Dir\\Sub"}, L"C:\\My Dir\\Sub\\"},
        {L"C:\\A\\\\B\\", {L"C:", L"C:\\A", L"C:\\A\\", L"C:\\A\\B"}, L"C:\\A\\B\\"},
        {L"\\\\server\\share\\dir\\",
         {L"\\\\server", L"\\\\server\\share", L"\\\\server\\share\\dir"},
         L"\\\\server\\share\\dir\\"},
        {L"sub\\deeper\\", {L"sub", L"sub\\deeper"}, L"sub\\deeper\\"},
        {L"C:\\A\\B", {L"C:", L"C:\\A"}, L"C:\\A\\B\\"},  // the last level has no separator
    };
    for (const Case& c : cases) {
        FolderPlan plan = PlanFolderLevels(c.in);
        EXPECT_EQ(plan.levels, c.levels) << c.in;
        EXPECT_EQ(plan.path, c.path) << c.in;
    }
    // The walk never goes past a path's length.
    FolderPlan longPlan = PlanFolderLevels(L"C:\\" + std::wstring(300, L'a') + L"\\");
    EXPECT_LE(longPlan.path.size(), kPathBufferSize);
}

TEST(Paths, FolderFromOpenCommand) {
    struct Case {
        std::wstring command;
        std::optional<std::wstring> folder;
    } cases[] = {
        {L"\"C:\\Program Files\\Pixelmoor\\p_moor32.exe\" \"%1\"",
         L"C:\\Program Files\\Pixelmoor\\"},
        {L"\"D:\\p_moor32.exe\" \"%1\"", L"D:\\"},
        {L"\"C:\\Tools/PM/p_moor32.exe\" \"%1\"", L"C:\\Tools/PM/\\"},
        {L"\"C:\\Pixelmoor\\viewer.exe\" \"%1\"", std::nullopt},
        {L"\"C:\\Pixelmoor\\P_MOOR32.EXE\" \"%1\"", std::nullopt},  // case-sensitive
        {L"", std::nullopt},
        {L"\"p_moor32.exe\" \"%1\"", std::nullopt},  // no folder at all
        {L"C:\\Pixelmoor\\p_moor32.exe %1",
         L":\\Pixelmoor\\"},  // unquoted: first character dropped
    };
    for (const Case& c : cases) EXPECT_EQ(FolderFromOpenCommand(c.command), c.folder) << c.command;
    // Only 259 characters of the command count.
    const std::wstring far = L"\"C:\\" + std::wstring(255, L'a') + L"\\p_moor32.exe\"";
    EXPECT_EQ(FolderFromOpenCommand(far), std::nullopt);
}

TEST(Paths, DefaultFolderFromProgramFiles) {
    EXPECT_EQ(DefaultFolderFromProgramFiles(L"C:\\Program Files"), L"C:\\Program Files\\Pixelmoor");
    EXPECT_EQ(DefaultFolderFromProgramFiles(L"D:\\"), L"D:\\Pixelmoor");
    EXPECT_EQ(DefaultFolderFromProgramFiles(std::nullopt), L"C:\\Pixelmoor\\");
    EXPECT_EQ(DefaultFolderFromProgramFiles(L""), L"C:\\Pixelmoor\\");
    EXPECT_EQ(DefaultFolderFromProgramFiles(std::wstring(250, L'a')), L"C:\\Pixelmoor\\");
}

TEST(Paths, InstallFolderLimit) {
    const std::wstring fits = L"C:\\" + std::wstring(kMaxInstallFolderLength - 4, L'a');  // + "\"
    EXPECT_TRUE(InstallFolderFits(fits));
    EXPECT_TRUE(InstallFolderFits(fits + L"\\"));
    EXPECT_TRUE(InstallFolderFits(L"   " + fits + L"   "));  // blanks do not count
    EXPECT_FALSE(InstallFolderFits(fits + L"a"));
    EXPECT_FALSE(InstallFolderFits(fits + L"a\\"));
    EXPECT_FALSE(InstallFolderFits(std::wstring(300, L'a')));
    EXPECT_EQ(kMaxInstallFolderLength, 195u);
}

TEST(Paths, SettingsFolderLimit) {
    // Folder, "\" and "p_moor32.ini_temp" (17 characters) within 259.
    const std::wstring fits = L"C:\\" + std::wstring(259 - 17 - 1 - 3, L's');
    EXPECT_TRUE(SettingsFolderFits(fits));
    EXPECT_TRUE(SettingsFolderFits(fits + L"\\  "));
    EXPECT_FALSE(SettingsFolderFits(fits + L"s"));
}

TEST(Paths, ChooseSettingsFolder) {
    const std::wstring def = L"C:\\Program Files\\Pixelmoor";
    InstallOptions o;
    o.silent = 1;
    o.installFolder = L"C:\\Program Files\\Pixelmoor\\";
    EXPECT_EQ(ChooseSettingsFolder(o, def), L"%APPDATA%\\Pixelmoor");
    o.installFolder = L"C:\\program files\\pixelmoor\\";  // case-sensitive
    EXPECT_EQ(ChooseSettingsFolder(o, def), L"");
    o.installFolder = L"D:\\Pixelmoor";
    EXPECT_EQ(ChooseSettingsFolder(o, def), L"");
    o.settingsFolder = L"%TEMP%\\x";
    EXPECT_EQ(ChooseSettingsFolder(o, def), L"%TEMP%\\x");
    InstallOptions wizard;
    wizard.installFolder = def;
    EXPECT_EQ(ChooseSettingsFolder(wizard, def), L"");
}

}  // namespace
}  // namespace pm
