#include "install/settings_file.h"

#include <gtest/gtest.h>

#include "common/text.h"

namespace pm {
namespace {

TEST(SettingsFileTest, SkinTableBoundaries) {
    struct Case {
        int height;
        int scale;
        const wchar_t* size;
    };
    const Case cases[] = {
        {705, 100, L"16"},  {767, 100, L"16"},  {768, 100, L"24"},  {1200, 100, L"24"},
        {1201, 100, L"32"}, {1599, 100, L"32"}, {1600, 100, L"48"}, {705, 125, L"16"},
        {768, 125, L"24"},  {1200, 125, L"24"}, {1201, 125, L"32"}, {1600, 125, L"48"},
        {705, 150, L"32"},  {1200, 150, L"32"}, {1599, 150, L"32"}, {1600, 150, L"48"},
        {705, 175, L"48"},  {1200, 175, L"48"}, {767, 169, L"32"},  {767, 170, L"48"},
        {767, 149, L"16"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(ChooseToolbarSkin([&] { return c.height; }, c.scale).size, c.size)
            << c.height << " x " << c.scale;
    }
    EXPECT_STREQ(ChooseToolbarSkin([] { return 705; }, 100).skin, L"Quartz_16.png");
    EXPECT_STREQ(ChooseToolbarSkin([] { return 900; }, 100).skin, L"Ribbonet_24.png");
    EXPECT_STREQ(ChooseToolbarSkin([] { return 1300; }, 100).skin, L"gnome-colors-wise_32.png");
    EXPECT_STREQ(ChooseToolbarSkin([] { return 1700; }, 100).skin, L"gnome-colors-human_48.png");

    // The height is read anew for every row.
    int reads = 0;
    ChooseToolbarSkin([&] { return ++reads > 2 ? 700 : 1000; }, 100);
    EXPECT_EQ(reads, 3);

    EXPECT_EQ(ScaleFromLogPixels(96), 100);
    EXPECT_EQ(ScaleFromLogPixels(120), 125);
    EXPECT_EQ(ScaleFromLogPixels(144), 150);
    EXPECT_EQ(ScaleFromLogPixels(168), 175);
    EXPECT_EQ(ScaleFromLogPixels(192), 200);
}

std::wstring FakeExpand(const std::wstring& text) {
    std::wstring out = text;
    const std::wstring ref = L"%APPDATA%";
    if (auto at = out.find(ref); at != std::wstring::npos)
        out.replace(at, ref.size(), L"C:\\Roaming");
    if (auto at = out.find(L"%NOPE%"); at != std::wstring::npos) out.erase(at, 6);
    return out;
}

TEST(SettingsFileTest, PlansTheSettingsFiles) {
    struct Case {
        const wchar_t* installFolder;
        const wchar_t* settingsFolder;  // as chosen, unexpanded
        const wchar_t* active;
        int portable;
    };
    const Case cases[] = {
        {L"C:\\Program Files\\Pixelmoor", L"%APPDATA%\\Pixelmoor",
         L"C:\\Roaming\\Pixelmoor\\p_moor32.ini", 0},
        {L"C:\\Program Files\\Pixelmoor", L"", L"C:\\Program Files\\Pixelmoor\\p_moor32.ini", 0},
        {L"D:\\Apps\\PM", L"%NOPE%\\Pixelmoor", L"\\Pixelmoor\\p_moor32.ini", 0},
        {L"D:\\PM", L" E:\\Pixelmoor32_App\\data  ", L"E:\\Pixelmoor32_App\\data\\p_moor32.ini", 1},
        {L"D:\\PM", L"E:\\Pixelmoor64_App\\", L"E:\\Pixelmoor64_App\\p_moor32.ini", 1},
        {L"D:\\PM", L"E:\\pixelmoor32_app\\", L"E:\\pixelmoor32_app\\p_moor32.ini", 0},
        {L"D:\\Pixelmoor32_App", L"", L"D:\\Pixelmoor32_App\\p_moor32.ini", 0},
    };
    for (const Case& c : cases) {
        const std::wstring path = std::wstring(c.installFolder) + L"\\";
        const SettingsPlan plan = PlanSettingsFiles(path, c.settingsFolder, FakeExpand);
        EXPECT_EQ(plan.installSettingsFile, path + L"p_moor32.ini");
        EXPECT_EQ(plan.settingsFolder, c.settingsFolder);
        EXPECT_EQ(plan.useSettingsFolder, *c.settingsFolder != L'\0');
        EXPECT_EQ(plan.activeSettingsFile, c.active);
        EXPECT_EQ(plan.portableLayout, c.portable);
    }
}

// A stand-in for the ANSI code page: every byte as the character of the same value.
std::string Latin1ToUtf16Le(std::string_view ansi) {
    std::wstring wide;
    for (char c : ansi) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return ToUtf16Le(wide);
}

TEST(SettingsFileTest, ConversionKeepsEveryByte) {
    std::string content = "[Language]\r\nLang=Deutsch\r\n";
    for (int b = 0x20; b <= 0xFF; ++b) content += static_cast<char>(b);
    content += "\r\nafter";
    content += '\0';
    content += "behind the NUL\r\n";
    content += std::string(5000, 'L') + "\xE4\r\n";

    const std::string bytes = BuildUnicodeSettingsFile(content, Latin1ToUtf16Le);
    ASSERT_TRUE(HasUtf16Bom(bytes));
    const std::string header = ToUtf16Le(L"; UNICODE FILE - edit with care ;-)\r\n\r\n");
    EXPECT_EQ(bytes.substr(2, header.size()), header);
    EXPECT_EQ(bytes.substr(2 + header.size()), Latin1ToUtf16Le(content));
    EXPECT_EQ(bytes.size(), 2 + header.size() + 2 * content.size());
    EXPECT_FALSE(HasUtf16Bom("[x]"));
}

}  // namespace
}  // namespace pm
