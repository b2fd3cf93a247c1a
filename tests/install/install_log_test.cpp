#include "install/install_log.h"

#include <gtest/gtest.h>

namespace pm {
namespace {

const std::string kSeparator = std::string(48, '-') + "\r\n";

TEST(InstallLog, EntryBytes) {
    EXPECT_EQ(
        FormatInstallLogEntry(L"11.12.2026", L"09:05:03", L"Ung\u00fcltiges Zielverzeichnis!: "),
        "11.12.2026 - 09:05:03: Ung\xfcltiges Zielverzeichnis!: \r\n" + kSeparator);
    EXPECT_EQ(FormatInstallLogEntry(L"d", L"t", L"Warnung: l\u00e4uft!\nBeenden\n\nEnde"),
              "d - t: Warnung: l\xe4uft!\r\nBeenden\r\n\r\nEnde\r\n" + kSeparator);
    // Above U+00FF: one "?" per character.
    EXPECT_EQ(FormatInstallLogEntry(L"d", L"t", L"C:\\\u0416\u20ac\u00ff"),
              "d - t: C:\\??\xff\r\n" + kSeparator);
    EXPECT_EQ(FormatInstallLogEntry(L"", L"t", L""), " - t: \r\n" + kSeparator);
}

TEST(InstallLog, TimeHasTwoDigitFields) {
    EXPECT_EQ(FormatLogTime(0, 0, 0), L"00:00:00");
    EXPECT_EQ(FormatLogTime(9, 5, 3), L"09:05:03");
    EXPECT_EQ(FormatLogTime(23, 59, 59), L"23:59:59");
}

}  // namespace
}  // namespace pm
