#include "install/extract_win32.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "common/win32_handles.h"
#include "win_test_folder.h"
#include "zip_builder.h"

namespace pm {
namespace {

using test::ReadBytes;
using test::ScratchFolder;
using test::ZipEntry;

const std::uint32_t kWhen = test::DosDateTime(2021, 7, 14, 9, 30, 42);

std::vector<ZipEntry> SampleEntries() {
    std::string big(150'000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919u) >> 3);
    return {
        {"Help/", "", false, kWhen},
        {"Help/p_moor32_deutsch.chm", std::string(40'000, 'h'), true, kWhen},
        {"p_moor32.exe", big, true, kWhen},
        {"p_about.txt", "about", false, kWhen},
        {"Toolbars/Quartz_16.png", "png", true, kWhen},  // no directory entry
        {"Plugins/Icons.dll", "icons", true, kWhen},
    };
}

FILETIME LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

ULONGLONG Ticks(FILETIME t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// 2021-07-14 09:30:42 in the machine's zone, as UTC file time.
ULONGLONG ExpectedEntryTime() {
    TIME_ZONE_INFORMATION zone{};
    const DWORD kind = ::GetTimeZoneInformation(&zone);
    SYSTEMTIME local{2021, 7, 0, 14, 9, 30, 42, 0};
    FILETIME localTime{};
    ::SystemTimeToFileTime(&local, &localTime);
    LONG bias = zone.Bias;
    if (kind == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
    return Ticks(localTime) + static_cast<ULONGLONG>(static_cast<LONGLONG>(bias) * 60 * 10'000'000);
}

class ExtractWin32Test : public testing::Test {
  protected:
    std::wstring WriteArchive(const std::vector<ZipEntry>& entries) {
        const std::wstring path =
            scratch_ / L"archive \u00e9.zip";  // the wide layer takes any name
        test::WriteBytes(path, test::BuildZip(entries));
        return path;
    }
    std::wstring Target() {
        const std::wstring target = scratch_ / L"target\\";
        ::CreateDirectoryW(target.c_str(), nullptr);
        return target;
    }
    ScratchFolder scratch_;
};

TEST_F(ExtractWin32Test, ExtractsEveryEntryWithContentAndLocalTime) {
    const auto entries = SampleEntries();
    const std::wstring target = Target();
    ASSERT_EQ(ExtractArchive(WriteArchive(entries).c_str(), target.c_str(), 0), 0);
    for (const ZipEntry& e : entries) {
        std::wstring name(e.name.begin(), e.name.end());
        if (name.back() == L'/') continue;
        EXPECT_EQ(ReadBytes(target + name), e.data);
        EXPECT_EQ(Ticks(LastWriteTime(target + name)), ExpectedEntryTime());
    }
    TIME_ZONE_INFORMATION zone{};
    if (::GetTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID && zone.Bias == -330) {
        // India Standard Time: 09:30:42 local is 04:00:42 UTC.
        SYSTEMTIME utc{};
        FILETIME written = LastWriteTime(target + L"p_about.txt");
        ::FileTimeToSystemTime(&written, &utc);
        EXPECT_EQ(utc.wHour, 4);
        EXPECT_EQ(utc.wMinute, 0);
        EXPECT_EQ(utc.wSecond, 42);
    }
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(std::wstring(current) + L"\\", target);
}

TEST_F(ExtractWin32Test, FaultyArchivesFail) {
    ZipEntry broken{"broken.txt", std::string(9000, 'b')};
    broken.breakCrc = true;
    struct Case {
        std::vector<ZipEntry> entries;
        bool writesFirst;
    };
    const Case cases[] = {
        {{{"first.txt", "ok"}, broken}, true},
        {{{"first.txt", "ok"}, {"..\\outside.txt", "x"}}, false},
        {{{"first.txt", "ok"}, {"C:\\outside.txt", "x"}}, false},
        {{{"first.txt", "ok"}, {"first.txt:hidden", "x"}}, false},
        {{{"first.txt", "ok"}, {"Plugins/nul.dll", "x"}}, false},
        {{{"first.txt", "ok"}, {std::string(65, 'a'), "x"}}, false},
    };
    for (const Case& c : cases) {
        ScratchFolder inner;
        const std::wstring target = inner / L"";
        const std::wstring archive = inner / L"a.zip";
        test::WriteBytes(archive, test::BuildZip(c.entries));
        EXPECT_EQ(ExtractArchive(archive.c_str(), target.c_str(), 0), -1) << c.entries[1].name;
        EXPECT_EQ(test::Exists(target + L"first.txt"), c.writesFirst) << c.entries[1].name;
        EXPECT_FALSE(test::Exists(inner.path() + L"\\..\\outside.txt"));
    }
    EXPECT_EQ(ExtractArchive(L"", Target().c_str(), 0), -1);
    EXPECT_EQ(ExtractArchive((scratch_ / L"missing.zip").c_str(), Target().c_str(), 0), -1);
    EXPECT_EQ(ExtractArchive(WriteArchive(SampleEntries()).c_str(),
                             (scratch_ / L"no such folder\\").c_str(), 0),
              -1);
}

TEST_F(ExtractWin32Test, AFileHeldOpenIsSkippedWhileTheRestInstalls) {
    const std::wstring target = Target();
    win::FileHandle held(::CreateFileW((target + L"p_moor32.exe").c_str(), GENERIC_WRITE, 0,
                                       nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    ASSERT_EQ(ExtractArchive(WriteArchive(SampleEntries()).c_str(), target.c_str(), 0), 0);
    held.Reset();
    EXPECT_EQ(ReadBytes(target + L"p_moor32.exe"), "");
    EXPECT_EQ(ReadBytes(target + L"p_about.txt"), "about");
    EXPECT_EQ(ReadBytes(target + L"Toolbars\\Quartz_16.png"), "png");
}

TEST_F(ExtractWin32Test, TemporaryArchiveIsCreatedNewAndRemoved) {
    const std::string zip = test::BuildZip(SampleEntries());
    const std::wstring temp = scratch_ / L"pmoorg_x32.zip";
    // A stale file of that name is replaced and removed.
    test::WriteBytes(temp, "stale");
    ASSERT_EQ(
        ExtractBytesViaTemporaryFile(zip.data(), zip.size(), temp.c_str(), Target().c_str(), 1), 0);
    EXPECT_FALSE(test::Exists(temp));
    EXPECT_FALSE(test::Exists(Target() + L"Plugins\\Icons.dll"));  // skipped as asked
    EXPECT_EQ(ReadBytes(Target() + L"p_about.txt"), "about");

    // A link planted at the name is removed, its target stays untouched.
    const std::wstring victim = scratch_ / L"victim.txt";
    test::WriteBytes(victim, "precious");
    if (::CreateSymbolicLinkW(temp.c_str(), victim.c_str(), 0)) {
        ASSERT_TRUE(::GetFileAttributesW(temp.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT);
        // Wine's links do not lead to their target when opened; the end-to-end test plants a
        // host link that does.
        ASSERT_EQ(
            ExtractBytesViaTemporaryFile(zip.data(), zip.size(), temp.c_str(), Target().c_str(), 0),
            0);
        EXPECT_EQ(ReadBytes(victim), "precious");
        EXPECT_FALSE(test::Exists(temp));
    } else {
        std::printf(
            "CreateSymbolicLinkW unavailable (%lu): link case left to the end-to-end test\n",
            ::GetLastError());
    }

    // A folder holding the name stays untouched; a numbered name beside it serves.
    ScratchFolder other;
    const std::wstring blocked = other / L"pmoorg_x32.zip";
    ::CreateDirectoryW(blocked.c_str(), nullptr);
    test::WriteBytes(blocked + L"\\inside", "x");
    ASSERT_TRUE(::CreateDirectoryW((other / L"target").c_str(), nullptr));
    EXPECT_EQ(ExtractBytesViaTemporaryFile(zip.data(), zip.size(), blocked.c_str(),
                                           (other / L"target\\").c_str(), 0),
              0);
    EXPECT_EQ(ReadBytes(blocked + L"\\inside"), "x");
    EXPECT_FALSE(test::Exists(other / L"pmoorg_x32-1.zip"));
    EXPECT_EQ(ReadBytes(other / L"target\\p_about.txt"), "about");

    // Broken bytes: the archive does not open, the file is still removed.
    EXPECT_EQ(ExtractBytesViaTemporaryFile("junk", 4, temp.c_str(), Target().c_str(), 0), -1);
    EXPECT_FALSE(test::Exists(temp));
}

TEST_F(ExtractWin32Test, PayloadFromTheResource) {
    // The test program carries the installer's resources, the payload among them.
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring temporary = std::wstring(temp) + L"pmoorg_x32_test.zip";
    EXPECT_EQ(ExtractPayload(1975, L"ZIP", L"pmoorg_x32_test.zip", Target().c_str(), 0), -1);
    ASSERT_EQ(ExtractPayload(1974, L"ZIP", L"pmoorg_x32_test.zip", Target().c_str(), 0), 0);
    EXPECT_TRUE(test::Exists(Target() + L"p_moor32.exe"));
    EXPECT_TRUE(test::Exists(Target() + L"Plugins\\Icons.dll"));
    EXPECT_TRUE(test::Exists(Target() + L"Help\\p_moor32_deutsch.chm"));
    EXPECT_FALSE(test::Exists(temporary));
}

TEST_F(ExtractWin32Test, MakeDirectoryPathCreatesEveryLevel) {
    EXPECT_EQ(MakeDirectoryPath(L""), 0);
    EXPECT_EQ(MakeDirectoryPath((scratch_ / L"a\\b/c/").c_str()), 1);
    EXPECT_TRUE(test::Exists(scratch_ / L"a\\b\\c"));
    EXPECT_EQ(MakeDirectoryPath((scratch_ / L"a\\b").c_str()), 1);
}

}  // namespace
}  // namespace pm
