#include "install/driver_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/text.h"
#include "install/limits.h"
#include "win_temp_folder.h"

namespace pm {
namespace {

using test::TempFolder;

const std::string kInvalidFolder = "Ung\xfcltiges Zielverzeichnis!";
const std::string kNotCreated = "Kann Zielverzeichnis nicht erstellen!";

InstallOptions Silent(const std::wstring& folder) {
    InstallOptions o;
    o.installFolder = folder;
    o.silent = 1;
    o.caption = L"Pixelmoor 32-bit Setup";
    return o;
}

// The text of the only log entry in the current directory, between the time and the separator.
std::string LoggedMessage() {
    std::ifstream in(std::filesystem::path(L"Pixelmoor_Install.log"), std::ios::binary);
    const std::string log{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string separator = "\r\n" + std::string(48, '-') + "\r\n";
    const std::size_t start = log.find(" - ");
    if (start == std::string::npos || log.size() < start + 13 + separator.size()) return "<none>";
    EXPECT_EQ(log.substr(log.size() - separator.size()), separator);
    return log.substr(start + 13, log.size() - separator.size() - start - 13);
}

bool LogExists() {
    return ::GetFileAttributesW(L"Pixelmoor_Install.log") != INVALID_FILE_ATTRIBUTES;
}

// A folder name below the temporary folder whose path, with trailing backslash, has this length.
std::wstring FolderOfLength(const TempFolder& tmp, std::size_t length) {
    const std::wstring base = tmp.Sub(L"");
    return base + std::wstring(length - base.size() - 1, L'f');
}

TEST(DriverWin32, EmptyFolderIsRefused) {
    TempFolder tmp;
    InstallOptions o = Silent(L"");
    int exitCode = -1;
    EXPECT_EQ(RunInstallation(o, &exitCode), 0);
    EXPECT_EQ(exitCode, 5);
    EXPECT_EQ(LoggedMessage(), kInvalidFolder + ": ");
}

TEST(DriverWin32, FolderTooLongForComposedPathsIsRefusedBeforeAnythingIsCreated) {
    TempFolder tmp;
    const std::wstring folder = FolderOfLength(tmp, kMaxInstallFolderLength + 1);
    InstallOptions o = Silent(folder);
    int exitCode = -1;
    EXPECT_EQ(RunInstallation(o, &exitCode), 0);
    EXPECT_EQ(exitCode, 5);
    EXPECT_FALSE(TempFolder::IsFolder(folder));
    EXPECT_EQ(LoggedMessage(), kInvalidFolder + ": " + ToLatin1(folder));
}

TEST(DriverWin32, FolderAtTheLimitIsInstalled) {
    TempFolder tmp;
    const std::wstring folder = FolderOfLength(tmp, kMaxInstallFolderLength);
    InstallOptions o = Silent(folder + L"  ");
    int exitCode = -1;
    EXPECT_EQ(RunInstallation(o, &exitCode), 1);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(TempFolder::IsFolder(folder));
    EXPECT_FALSE(LogExists());
}

TEST(DriverWin32, SettingsFolderTooLongIsRefusedBeforeAnythingIsCreated) {
    TempFolder tmp;
    const std::wstring target = tmp.Sub(L"target");
    ::SetEnvironmentVariableW(L"PM_LONG", (L"C:\\" + std::wstring(230, L's')).c_str());
    InstallOptions o = Silent(target);
    o.settingsFolder = L"%PM_LONG%\\Pixelmoor";
    int exitCode = -1;
    EXPECT_EQ(RunInstallation(o, &exitCode), 0);
    EXPECT_EQ(exitCode, 5);
    EXPECT_FALSE(TempFolder::IsFolder(target));
    EXPECT_EQ(LoggedMessage(), kInvalidFolder + ": %PM_LONG%\\Pixelmoor");

    // The same folder, shorter, passes.
    ::DeleteFileW(L"Pixelmoor_Install.log");
    ::SetEnvironmentVariableW(L"PM_LONG", L"C:\\short");
    EXPECT_EQ(RunInstallation(o, &exitCode), 1);
    EXPECT_EQ(exitCode, 0);
    ::SetEnvironmentVariableW(L"PM_LONG", nullptr);
}

TEST(DriverWin32, UncreatableFolderLogsTheNormalisedTarget) {
    TempFolder tmp;
    ::CloseHandle(
        ::CreateFileW(tmp.Sub(L"file").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    InstallOptions o = Silent(L"  " + tmp.Sub(L"file\\sub \\x"));
    int exitCode = -1;
    EXPECT_EQ(RunInstallation(o, &exitCode), 0);
    EXPECT_EQ(exitCode, 11);
    const std::string message = LoggedMessage();
    EXPECT_EQ(message.substr(0, kNotCreated.size()), kNotCreated);
    EXPECT_NE(
        message.find("\r\n\r\nVersuchen Sie das Zielverzeichnis zuerst h\xe4ndisch zu erstellen."),
        std::string::npos);
    EXPECT_EQ(message.substr(message.size() - 2 - tmp.Sub(L"file\\sub\\x\\").size()),
              ": " + ToLatin1(tmp.Sub(L"file\\sub\\x\\")));
}

TEST(DriverWin32, BlankFolderCannotBeCreated) {
    TempFolder tmp;
    InstallOptions o = Silent(L"   ");
    int exitCode = -1;
    EXPECT_EQ(RunInstallation(o, &exitCode), 0);
    EXPECT_EQ(exitCode, 11);
    const std::string message = LoggedMessage();
    EXPECT_EQ(message.substr(0, kNotCreated.size()), kNotCreated);
    EXPECT_EQ(message.substr(message.size() - 4), "n.: ");
}

TEST(DriverWin32, GoodFolderIsCreatedAndNothingIsLogged) {
    TempFolder tmp;
    InstallOptions o = Silent(tmp.Sub(L"Pixel moor \\App"));
    int exitCode = -1;
    EXPECT_EQ(RunInstallation(o, &exitCode), 1);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(TempFolder::IsFolder(tmp.Sub(L"Pixel moor\\App")));
    EXPECT_FALSE(LogExists());
}

}  // namespace
}  // namespace pm
