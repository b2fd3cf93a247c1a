#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/win32_handles.h"
#include "shell/links_win32.h"
#include "shell/os_version_win32.h"
#include "shell/register_win32.h"
#include "shell/registry_apply_win32.h"

namespace pm::win {
namespace {

const wchar_t kScratch[] = L"Software\\PixelmoorTest";

// HKCU\Software\PixelmoorTest\{HKLM,HKCU,HKCR}, deleted first, standing for the three roots.
class ScratchRoots : public testing::Test {
  protected:
    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        const wchar_t* names[] = {L"HKLM", L"HKCU", L"HKCR"};
        for (int i = 0; i < 3; ++i) {
            const std::wstring key = std::wstring(kScratch) + L"\\" + names[i];
            ASSERT_EQ(::RegCreateKeyW(HKEY_CURRENT_USER, key.c_str(), keys_[i].Put()),
                      ERROR_SUCCESS);
            roots_[i] = keys_[i].Get();
        }
    }
    void TearDown() override {
        for (auto& k : keys_) k.Reset();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    }

    struct Value {
        DWORD type = REG_NONE;
        DWORD bytes = 0;
        std::wstring text;
        DWORD dword = 0;
        bool exists = false;
    };
    Value Read(RegRoot root, const std::wstring& key, const wchar_t* name) {
        Value v;
        RegKey k;
        if (::RegOpenKeyExW(roots_[static_cast<int>(root)], key.c_str(), 0, KEY_QUERY_VALUE,
                            k.Put()) != ERROR_SUCCESS)
            return v;
        BYTE data[2048] = {};
        DWORD bytes = sizeof(data) - 2;
        if (::RegQueryValueExW(k.Get(), name, nullptr, &v.type, data, &bytes) != ERROR_SUCCESS)
            return v;
        v.exists = true;
        v.bytes = bytes;
        if (v.type == REG_SZ) v.text = reinterpret_cast<const wchar_t*>(data);
        if (v.type == REG_DWORD) memcpy(&v.dword, data, sizeof(DWORD));
        return v;
    }
    bool KeyExists(RegRoot root, const std::wstring& key) {
        RegKey k;
        return ::RegOpenKeyExW(roots_[static_cast<int>(root)], key.c_str(), 0, KEY_READ, k.Put()) ==
               ERROR_SUCCESS;
    }
    DWORD ValueCount(RegRoot root, const std::wstring& key) {
        RegKey k;
        DWORD n = 0;
        if (::RegOpenKeyExW(roots_[static_cast<int>(root)], key.c_str(), 0, KEY_READ, k.Put()) ==
            ERROR_SUCCESS)
            ::RegQueryInfoKeyW(k.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &n,
                               nullptr, nullptr, nullptr, nullptr);
        return n;
    }

    RegKey keys_[3];
    RegRoots roots_{};
};

constexpr auto HKLM = RegRoot::LocalMachine;
constexpr auto HKCU = RegRoot::CurrentUser;
const std::wstring kUninstall =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor";
const std::wstring kChoice =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.dib\\UserChoice";

RegistrationInputs Windows10Inputs() {
    RegistrationInputs in;
    in.installFolder = L"C:\\Tools\\Viewer  ";
    in.thumbnailsLink = 1;
    in.typeSelection[2] = 1;  // BMP/DIB
    in.anyTypeChosen = 1;
    return in;
}

TEST_F(ScratchRoots, AppliedPlanLeavesTheTypesAndData) {
    // A stale per-user choice with a value of its own: it must come back holding "Progid" only.
    {
        RegKey stale;
        ASSERT_EQ(::RegCreateKeyW(roots_[1], kChoice.c_str(), stale.Put()), ERROR_SUCCESS);
        ::RegSetValueExW(stale.Get(), L"Hash", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    }
    const RegistrationPlan plan = PlanRegistration(Windows10Inputs(), OsVersion{2, 6, 2});
    ApplyRegistryPlan(plan.registry, roots_);

    EXPECT_EQ(Read(HKLM, L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command", nullptr).text,
              L"\"C:\\Tools\\Viewer\\p_moor32.exe\" \"%1\"");
    const Value location = Read(HKLM, kUninstall, L"InstallLocation");
    EXPECT_EQ(location.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(location.text, L"C:\\Tools\\Viewer\\");
    EXPECT_EQ(location.bytes, (location.text.size() + 1) * 2);
    EXPECT_EQ(Read(HKLM, kUninstall, L"DisplayName").text, L"Pixelmoor 4.59 (32-bit)");
    for (auto [name, value] :
         {std::pair{L"VersionMajor", 4u}, {L"VersionMinor", 59u}, {L"EstimatedSize", 5500u}}) {
        const Value v = Read(HKLM, kUninstall, name);
        EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(v.dword, value) << name;
    }
    EXPECT_EQ(Read(RegRoot::ClassesRoot, L"Applications\\p_moor32.exe", L"FriendlyAppName").text,
              L"Pixelmoor 32-bit");
    EXPECT_EQ(
        Read(HKLM, L"SOFTWARE\\Classes\\Directory\\shell\\Durchsuchen mit &Pixelmoor\\command",
             nullptr)
            .text,
        L"\"C:\\Tools\\Viewer\\p_moor32.exe\" \"%1\" /thumbs");
    EXPECT_EQ(Read(HKLM, L"SOFTWARE\\Classes\\.dib", nullptr).text, L"Pixelmoor.bmp");
    EXPECT_FALSE(KeyExists(HKLM, L"SOFTWARE\\Classes\\.tiff"));
    EXPECT_EQ(Read(HKLM, L"SOFTWARE\\Pixelmoor\\Capabilities\\FileAssociations", L".mpeg").text,
              L"Pixelmoor.mpg");
    EXPECT_EQ(ValueCount(HKLM, L"SOFTWARE\\Pixelmoor\\Capabilities\\FileAssociations"), 86u);
    // "RegisteredApplications" is opened, never created: it is missing here, so nothing is written.
    EXPECT_FALSE(KeyExists(HKLM, L"SOFTWARE\\RegisteredApplications"));

    EXPECT_EQ(Read(HKCU, kChoice, L"Progid").text, L"Pixelmoor.bmp");
    EXPECT_EQ(ValueCount(HKCU, kChoice), 1u);
    const Value noOpenWith =
        Read(HKCU, L"SOFTWARE\\Classes\\AppX6eg8h5sxqq90pv53845wmnbewywdqq5h", L"NoOpenWith");
    EXPECT_EQ(noOpenWith.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(noOpenWith.bytes, 2u);

    // With the key present, as on every Windows since Vista, the value lands.
    RegKey registered;
    ASSERT_EQ(::RegCreateKeyW(roots_[0], L"SOFTWARE\\RegisteredApplications", registered.Put()),
              ERROR_SUCCESS);
    ApplyRegistryPlan(plan.registry, roots_);
    EXPECT_EQ(Read(HKLM, L"SOFTWARE\\RegisteredApplications", L"Pixelmoor").text,
              L"SOFTWARE\\Pixelmoor\\Capabilities");
}

TEST_F(ScratchRoots, FailuresCreateNothingAndDoNotStop) {
    const std::vector<RegOp> ops = {
        {RegOpKind::SetNamedIfOpens, HKLM, L"Missing", L"Name", RegType::String, L"x"},
        {RegOpKind::DeleteKey, HKLM, L"AlsoMissing"},
        {RegOpKind::SetDefault, HKLM, L"Made\\On\\The\\Way", {}, RegType::String, L"y"},
    };
    EXPECT_NE(ApplyRegOp(ops[0], roots_), ERROR_SUCCESS);
    EXPECT_NE(ApplyRegOp(ops[1], roots_), ERROR_SUCCESS);
    ApplyRegistryPlan(ops, roots_);
    EXPECT_FALSE(KeyExists(HKLM, L"Missing"));
    EXPECT_EQ(Read(HKLM, L"Made\\On\\The\\Way", nullptr).text, L"y");
}

struct LinkInfo {
    std::wstring path, arguments, iconPath, description;
    int iconIndex = -1;
    bool loaded = false;
};

LinkInfo ReadLink(const std::wstring& file) {
    LinkInfo info;
    ComScope com;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> persist;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.PutVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.PutVoid())) ||
        FAILED(persist->Load(file.c_str(), STGM_READ)))
        return info;
    wchar_t buffer[MAX_PATH] = {};
    link->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH);
    info.path = buffer;
    buffer[0] = 0;
    link->GetArguments(buffer, MAX_PATH);
    info.arguments = buffer;
    buffer[0] = 0;
    link->GetIconLocation(buffer, MAX_PATH, &info.iconIndex);
    info.iconPath = buffer;
    buffer[0] = 0;
    link->GetDescription(buffer, MAX_PATH);
    info.description = buffer;
    info.loaded = true;
    return info;
}

std::wstring TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name + L"\\";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

TEST(Links, FolderAndDesktopLinksReadBack) {
    const std::wstring folder = TempFolder(L"pm_links");
    ASSERT_EQ(CreateFolderLink(folder, L"Pixelmoor - Thumbnails.lnk", L"C:\\Tools\\p_moor32.exe",
                               L"/thumbs", L"C:\\Tools\\p_moor32.exe", 7),
              1);
    LinkInfo info = ReadLink(folder + L"Pixelmoor - Thumbnails.lnk");
    ASSERT_TRUE(info.loaded);
    EXPECT_EQ(info.path, L"C:\\Tools\\p_moor32.exe");
    EXPECT_EQ(info.arguments, L"/thumbs");
    EXPECT_EQ(info.iconPath, L"C:\\Tools\\p_moor32.exe");
    EXPECT_EQ(info.iconIndex, 7);
    EXPECT_EQ(info.description, L"");

    ASSERT_EQ(CreateDesktopLink(L"C:\\Tools\\p_moor32.exe", L"Pixelmoor.lnk", L"",
                                L"Pixelmoor - Bildbetrachter", L"", 0, 0),
              1);
    const std::wstring desktopLink = ResolveSpecialFolder(kCsidlDesktop) + L"Pixelmoor.lnk";
    info = ReadLink(desktopLink);
    EXPECT_EQ(info.path, L"C:\\Tools\\p_moor32.exe");
    EXPECT_EQ(info.description, L"Pixelmoor - Bildbetrachter");
    EXPECT_EQ(info.arguments, L"");
    EXPECT_EQ(info.iconPath, L"");
    ::DeleteFileW(desktopLink.c_str());

    // A folder that does not exist: nothing saved, result 0.
    EXPECT_EQ(CreateFolderLink(folder + L"missing\\", L"x.lnk", L"C:\\x.exe", L"", L"", 0), 0);
    std::filesystem::remove_all(folder);
}

TEST(Links, SpecialFoldersEndInABackslash) {
    const std::wstring programs = ResolveSpecialFolder(kCsidlPrograms);
    EXPECT_EQ(programs.back(), L'\\');
    EXPECT_EQ(programs.find(L"\\\\"), std::wstring::npos);
    wchar_t windows[MAX_PATH];
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(ResolveSpecialFolder(0x7E), std::wstring(windows) + L"\\");  // no such folder
}

TEST(Links, StartMenuGroupReplacesOlderVersionLinksOnly) {
    const std::wstring group = ResolveSpecialFolder(kCsidlPrograms) + L"Pixelmoor\\";
    std::filesystem::remove_all(group);
    std::filesystem::create_directories(group);
    for (const wchar_t* old : {L"Pixelmoor 4.58.lnk", L"Pixelmoor 4.57.lnk", L"Pixelmoor 4.56.lnk"})
        std::fclose(_wfopen((group + old).c_str(), L"wb"));
    const std::wstring install = L"C:\\Tools\\Viewer\\";
    EXPECT_EQ(CreateStartMenuGroup(install, 0, OsVersion{2, 6, 2}), 1);

    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(group))
        count += entry.path().extension() == L".lnk";
    EXPECT_EQ(count, 8u + 1u);  // eight links and the kept 4.56 one
    EXPECT_FALSE(std::filesystem::exists(group + L"Pixelmoor 4.58.lnk"));
    EXPECT_FALSE(std::filesystem::exists(group + L"Pixelmoor 4.57.lnk"));
    EXPECT_TRUE(std::filesystem::exists(group + L"Pixelmoor 4.56.lnk"));
    EXPECT_FALSE(std::filesystem::exists(group + L"Pixelmoor deinstallieren.lnk"));
    EXPECT_EQ(ReadLink(group + L"\u00DCber Pixelmoor.lnk").path, install + L"p_about.txt");
    // The help target is given with a doubled backslash before "help"; Wine collapses it when
    // it saves the link (Windows keeps it and resolves the path all the same).
    EXPECT_EQ(ReadLink(group + L"Pixelmoor Hilfe.lnk").path,
              L"C:\\Tools\\Viewer\\help\\p_moor32_deutsch.chm");

    EXPECT_EQ(CreateStartMenuGroup(install, 0, OsVersion{2, 6, 1}), 1);
    EXPECT_TRUE(std::filesystem::exists(group + L"Pixelmoor deinstallieren.lnk"));
    std::filesystem::remove_all(group);
}

TEST(Registration, VersionComesFromTheSystem) {
    const OsVersion v = QueryOsVersion();
    EXPECT_EQ(v.platformId, 2u);
    EXPECT_GE(v.major, 5u);
    EXPECT_EQ(IsWindows8OrLater(), pm::IsWindows8OrLater(v) ? 1 : 0);
}

TEST(Registration, RegisterApplicationAlwaysReturnsOne) {
    TypeSelection none{};
    // An overlong folder is refused without a write; a normal one registers.
    EXPECT_EQ(RegisterApplication(1, 0, L"C:\\" + std::wstring(300, L'x'), 0, 0, 0, 0, none, 0), 1);
    EXPECT_EQ(RegisterApplication(1, 0, L"C:\\Tools\\Viewer", 0, 0, 0, 0, none, 0), 1);
    RegKey key;
    ASSERT_EQ(
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command",
                        0, KEY_QUERY_VALUE, key.Put()),
        ERROR_SUCCESS);
    wchar_t data[MAX_PATH] = {};
    DWORD bytes = sizeof(data) - 2;
    ASSERT_EQ(::RegQueryValueExW(key.Get(), nullptr, nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(data), &bytes),
              ERROR_SUCCESS);
    EXPECT_STREQ(data, L"\"C:\\Tools\\Viewer\\p_moor32.exe\" \"%1\"");
}

}  // namespace
}  // namespace pm::win
