#include "install/percent.h"

#include <gtest/gtest.h>

#include <map>

namespace pm {
namespace {

TEST(PercentReferences, Expansion) {
    const std::map<std::wstring, std::wstring> env = {
        {L"APPDATA", L"C:\\Users\\u\\AppData\\Roaming"}, {L"EMPTY", L""}, {L"P", L"%APPDATA%"}};
    std::vector<std::wstring> asked;
    const VariableLookup lookup = [&](const std::wstring& name) -> std::optional<std::wstring> {
        asked.push_back(name);
        auto it = env.find(name);
        if (it == env.end()) return std::nullopt;
        return it->second;
    };
    struct Case {
        std::wstring in, out;
    } cases[] = {
        {L"", L""},
        {L"C:\\plain", L"C:\\plain"},
        {L"%APPDATA%\\Pixelmoor", L"C:\\Users\\u\\AppData\\Roaming\\Pixelmoor"},
        {L"%MISSING%\\Pixelmoor", L"\\Pixelmoor"},
        {L"a%%b", L"ab"},
        {L"%EMPTY%x", L"x"},
        {L"%P%", L"%APPDATA%"},  // values are not expanded again
        {L"x%APPDATA%%APPDATA%", L"xC:\\Users\\u\\AppData\\RoamingC:\\Users\\u\\AppData\\Roaming"},
        {L"a\\%APPDATA", L"a\\C:\\Users\\u\\AppData\\Roaming"},  // unclosed: the rest is the name
        {L"a%b", L"a"},
        {L"50%", L"50"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandPercentReferences(c.in, lookup), c.out) << c.in;

    asked.clear();
    ExpandPercentReferences(L"%%", lookup);
    EXPECT_EQ(asked, std::vector<std::wstring>{L""});
}

}  // namespace
}  // namespace pm
