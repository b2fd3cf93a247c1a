#include "install/install_log_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/text.h"
#include "install/install_log.h"
#include "win_temp_folder.h"

namespace pm {
namespace {

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ShortDate() {
    wchar_t date[256] = {};
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 256);
    return ToLatin1(date);
}

TEST(InstallLogWin32, AppendsDatedEntriesInTheCurrentDirectory) {
    test::TempFolder tmp;
    WriteInstallLog(L"Ung\u00fcltiges Zielverzeichnis!: ");
    WriteInstallLog(L"Warnung: Pixelmoor l\u00e4uft!\nBeenden \u0416");
    const std::string log = ReadBytes(tmp.Sub(L"Pixelmoor_Install.log"));
    const std::string separator = std::string(48, '-') + "\r\n";

    // "<date> - hh:mm:ss: <message>" CR LF, separator; twice.
    const std::string date = ShortDate() + " - ";
    const std::string first = ": Ung\xfcltiges Zielverzeichnis!: \r\n" + separator;
    const std::string second = ": Warnung: Pixelmoor l\xe4uft!\r\nBeenden ?\r\n" + separator;
    ASSERT_EQ(log.size(), 2 * (date.size() + 8) + first.size() + second.size()) << log;
    EXPECT_EQ(log.substr(0, date.size()), date);
    const std::string time = log.substr(date.size(), 8);
    EXPECT_TRUE(time[2] == ':' && time[5] == ':' && isdigit(time[0]) && isdigit(time[7])) << time;
    EXPECT_EQ(log.substr(date.size() + 8, first.size()), first);
    const std::size_t at = date.size() + 8 + first.size();
    EXPECT_EQ(log.substr(at, date.size()), date);
    EXPECT_EQ(log.substr(at + date.size() + 8), second);
}

TEST(InstallLogWin32, UnopenableLogIsDroppedSilently) {
    test::TempFolder tmp;
    ASSERT_TRUE(::CreateDirectoryW(kInstallLogFileName, nullptr));
    WriteInstallLog(L"lost");
    EXPECT_TRUE(test::TempFolder::IsFolder(tmp.Sub(kInstallLogFileName)));
}

}  // namespace
}  // namespace pm
