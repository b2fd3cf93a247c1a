#include "install/extract_walk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <random>
#include <sstream>

#include "install/extract_posix.h"
#include "zip_builder.h"

namespace pm {
namespace {

namespace fs = std::filesystem;
using test::BuildZip;
using test::ZipEntry;

std::string Incompressible(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(random() & 0xFF);
    return data;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ExtractWalkTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/pm-extract-XXXXXX";
        root_ = mkdtemp(pattern);
        target_ = root_ / "target";
        fs::create_directory(target_);
    }
    void TearDown() override { fs::remove_all(root_); }

    int Extract(const std::vector<ZipEntry>& entries, int skip = 0) {
        const fs::path archive = root_ / "test.zip";
        std::ofstream(archive, std::ios::binary) << BuildZip(entries);
        return ExtractArchivePosix(archive.string(), target_.string(), skip);
    }
    bool NothingWritten() const { return fs::is_empty(target_); }

    fs::path root_;
    fs::path target_;
};

TEST_F(ExtractWalkTest, WritesEveryEntryWithItsContentAndTime) {
    const std::uint32_t when = test::DosDateTime(2021, 7, 14, 9, 30, 42);
    const std::string big = Incompressible(100'000, 1);  // several copy-buffer rounds
    const std::string text(70'000, 'x');
    const std::vector<ZipEntry> entries = {
        {"Help/", "", false, when},        {"Help/p_moor32_deutsch.chm", text, true, when},
        {"p_moor32.exe", big, true, when}, {"stored.bin", "plain bytes", false, when},
        {"empty.txt", "", true, when},     {"Help\\back.txt", "backslash name", true, when},
    };
    ASSERT_EQ(Extract(entries), kExtractOk);
    for (const ZipEntry& e : entries) {
        std::string name = e.name;
        std::replace(name.begin(), name.end(), '\\', '/');
        const fs::path path = target_ / name;
        if (name.back() == '/') {
            EXPECT_TRUE(fs::is_directory(path)) << name;
            continue;
        }
        EXPECT_EQ(ReadFile(path), e.data) << name;
        std::tm local{};
        local.tm_year = 121, local.tm_mon = 6, local.tm_mday = 14;
        local.tm_hour = 9, local.tm_min = 30, local.tm_sec = 42, local.tm_isdst = -1;
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mtime, std::mktime(&local)) << name;
    }
}

TEST_F(ExtractWalkTest, CreatesTheFolderChainOfAnEntryWithoutDirectoryEntries) {
    ASSERT_EQ(Extract({{"Html/templates/deep/index.htm", "<html>"}}), kExtractOk);
    EXPECT_EQ(ReadFile(target_ / "Html/templates/deep/index.htm"), "<html>");
}

TEST_F(ExtractWalkTest, SkipsEveryIconLibraryNameOnlyWhenAsked) {
    const std::vector<std::string> iconNames = {"Plugins/Icons.dll", "ICONS.DLL", "x/myicons.dllx",
                                                "Plugins/icons.DLL.bak"};
    std::vector<ZipEntry> entries = {{"Plugins/", "", false}, {"x/", "", false}};
    for (const std::string& name : iconNames) entries.push_back({name, "new " + name});
    entries.push_back({"Plugins/Other.dll", "other"});

    fs::create_directory(target_ / "Plugins");
    std::ofstream(target_ / "Plugins/Icons.dll") << "installed";
    ASSERT_EQ(Extract(entries, 1), kExtractOk);
    EXPECT_EQ(ReadFile(target_ / "Plugins/Icons.dll"), "installed");
    for (const std::string& name : iconNames) {
        if (name != "Plugins/Icons.dll") {
            EXPECT_FALSE(fs::exists(target_ / name)) << name;
        }
    }
    EXPECT_EQ(ReadFile(target_ / "Plugins/Other.dll"), "other");

    ASSERT_EQ(Extract(entries, 0), kExtractOk);
    for (const std::string& name : iconNames) EXPECT_EQ(ReadFile(target_ / name), "new " + name);
}

TEST_F(ExtractWalkTest, ReadAndChecksumErrorsFailTheExtraction) {
    ZipEntry broken{"broken.txt", std::string(5000, 'b')};
    broken.breakCrc = true;
    EXPECT_EQ(Extract({{"first.txt", "ok"}, broken, {"after.txt", "never"}}), kExtractFailed);
    EXPECT_EQ(ReadFile(target_ / "first.txt"), "ok");
    EXPECT_FALSE(fs::exists(target_ / "after.txt"));

    // A stored entry cut short in the archive: the read fails.
    const fs::path archive = root_ / "cut.zip";
    std::string bytes = BuildZip({{"whole.bin", Incompressible(4000, 2), false}});
    bytes[30 + 9 + 100] ^= 0x01;  // data byte changed: CRC mismatch on a stored entry
    std::ofstream(archive, std::ios::binary) << bytes;
    EXPECT_EQ(ExtractArchivePosix(archive.string(), target_.string(), 0), kExtractFailed);
}

TEST_F(ExtractWalkTest, RefusedNamesWriteNothing) {
    const std::vector<std::string> refused = {
        "/etc/x",
        "\\x",
        "C:x",
        "C:/x",
        "../x",
        "a/../../x",
        "a\\..\\x",
        "file.txt:stream",
        "NUL",
        "nul.txt",
        "Help/con",
        "aux.tar.gz",
        "prn",
        "COM1",
        "lpt9.log",
        "a/Com3 .png/b",
        "a/b?.txt",
        "tab\there",
        std::string(65, 'n'),
    };
    for (const std::string& name : refused) {
        EXPECT_FALSE(IsSafeEntryName(name)) << name;
        EXPECT_EQ(Extract({{"good.txt", "good"}, {name, "evil"}}), kExtractFailed) << name;
        EXPECT_TRUE(NothingWritten()) << name;
    }
    for (const std::string& name :
         std::vector<std::string>{"Help/", "a.nul", "console.txt", "COM0", "com10", "lpt", "..a",
                                  "a..", "x/./y", std::string(64, 'n')}) {
        EXPECT_TRUE(IsSafeEntryName(name)) << name;
    }
}

// A sink that fails to write after the first chunk, as a full disk would.
class FullDiskSink : public PosixExtractSink {
  public:
    using PosixExtractSink::PosixExtractSink;
    bool WriteOutput(const char* data, std::size_t size) override {
        return writes_++ == 0 && PosixExtractSink::WriteOutput(data, size);
    }

  private:
    int writes_ = 0;
};

TEST_F(ExtractWalkTest, WriteErrorFailsTheExtraction) {
    const fs::path archive = root_ / "big.zip";
    std::ofstream(archive, std::ios::binary)
        << BuildZip({{"big.bin", Incompressible(200'000, 3)}, {"later.txt", "later"}});
    unzFile opened = unzOpen64(archive.c_str());
    ASSERT_NE(opened, nullptr);
    FullDiskSink sink(target_.string());
    EXPECT_EQ(ExtractEntries(opened, 0, sink), kExtractFailed);
    unzClose(opened);
    EXPECT_FALSE(fs::exists(target_ / "later.txt"));
}

TEST_F(ExtractWalkTest, AFileThatCannotBeCreatedIsSkipped) {
    fs::create_directory(target_ / "p_moor32.exe");  // stands in for a file held open
    ASSERT_EQ(Extract({{"p_moor32.exe", "viewer"}, {"p_about.txt", "about"}}), kExtractOk);
    EXPECT_TRUE(fs::is_directory(target_ / "p_moor32.exe"));
    EXPECT_EQ(ReadFile(target_ / "p_about.txt"), "about");
}

TEST_F(ExtractWalkTest, AnArchiveThatCannotBeOpenedFails) {
    std::ofstream(root_ / "junk.zip") << "not a zip";
    EXPECT_EQ(ExtractArchivePosix((root_ / "junk.zip").string(), target_.string(), 0),
              kExtractFailed);
    EXPECT_EQ(ExtractArchivePosix("", target_.string(), 0), kExtractFailed);
}

}  // namespace
}  // namespace pm
