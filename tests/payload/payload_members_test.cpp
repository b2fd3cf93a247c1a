// Windows tests of the sample programs in the payload and of its embedding, run under Wine
// with a display:
//   pm_payload_member_tests MEMBERS_FOLDER INSTALLER ARCHIVE
// where the folder holds p_moor32.exe, pm_uninstall.exe and Icons.dll.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::wstring g_members;
std::wstring g_installer;
std::wstring g_archive;

std::wstring Member(const wchar_t* name) { return g_members + L"\\" + name; }

// A started program, ended at the latest when the test ends.
struct Process {
    PROCESS_INFORMATION info{};
    bool started = false;
    explicit Process(const std::wstring& commandLine) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
        line.push_back(L'\0');
        started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &info) != 0;
    }
    ~Process() {
        if (started) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 99);
            }
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }
    // Exit code after the process has ended within the time, else STILL_ACTIVE.
    DWORD WaitExit(DWORD milliseconds) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info.hProcess, milliseconds) == WAIT_OBJECT_0) {
            GetExitCodeProcess(info.hProcess, &code);
        }
        return code;
    }
};

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

struct Search {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == s->processId && IsWindowVisible(window) && ClassOf(window) == s->className) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
    *reinterpret_cast<std::wstring*>(param) += TextOf(child) + L"\n";
    return TRUE;
}

// The first visible top-level window of the process with the class, waiting up to 15 s.
HWND WaitForWindow(const Process& process, const wchar_t* className) {
    Search search{process.info.dwProcessId, className, nullptr};
    for (int i = 0; i < 300 && search.found == nullptr; ++i) {
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            if (process.WaitExit(50) != STILL_ACTIVE) {
                break;
            }
        }
    }
    return search.found;
}

TEST(SampleViewer, WindowClassAndTitleFollowTheCommandLine) {
    const std::wstring exe = L"\"" + Member(L"p_moor32.exe") + L"\"";
    struct Case {
        std::wstring arguments;
        std::wstring title;
    };
    const Case cases[] = {
        {L" \"C:\\Bilder\\Urlaub 2021\\Strand.jpg\"",
         L"C:\\Bilder\\Urlaub 2021\\Strand.jpg - Pixelmoor"},
        {L" /thumbs", L"Pixelmoor - Thumbnails"},
        {L" /THUMBS \"C:\\Bilder\"", L"Pixelmoor - Thumbnails - C:\\Bilder"},
        // The folder and drive verbs' command: the path first, then the switch; a drive's
        // path ends in a backslash before the closing quote.
        {L" \"D:\\\" /thumbs", L"Pixelmoor - Thumbnails - D:\\"},
        {L"", L"Pixelmoor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        Process viewer(exe + c.arguments);
        ASSERT_TRUE(viewer.started);
        HWND window = WaitForWindow(viewer, L"Pixelmoor");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(TextOf(window), c.title);
        // Found by class alone, as the installer looks for a running viewer.
        EXPECT_NE(FindWindowW(L"Pixelmoor", nullptr), nullptr);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(viewer.WaitExit(15000), 0u);
    }
}

// Colour bits of an icon, to tell icons apart.
std::vector<unsigned char> IconBits(HICON icon) {
    ICONINFO info{};
    std::vector<unsigned char> bits(32 * 32 * 4);
    if (GetIconInfo(icon, &info)) {
        GetBitmapBits(info.hbmColor, static_cast<LONG>(bits.size()), bits.data());
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    return bits;
}

TEST(SampleViewer, CarriesTenDistinctIcons) {
    const std::wstring exe = Member(L"p_moor32.exe");
    EXPECT_GE(ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 10u);
    // The indices that links and file-type classes name.
    std::vector<std::vector<unsigned char>> seen;
    for (int index : {0, 7, 8, 9}) {
        SCOPED_TRACE(index);
        HICON large = nullptr;
        ASSERT_EQ(ExtractIconExW(exe.c_str(), index, &large, nullptr, 1), 1u);
        ASSERT_NE(large, nullptr);
        std::vector<unsigned char> bits = IconBits(large);
        DestroyIcon(large);
        for (const auto& other : seen) {
            EXPECT_NE(bits, other);
        }
        seen.push_back(bits);
    }
}

TEST(SampleIconLibrary, VersionSizeAndCompanyAsTheInstallerReadsThem) {
    const std::wstring dll = Member(L"Icons.dll");
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(dll.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(dll.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00040003u);  // 4.3
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00040003u);     // 4.3.0.x
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 0u);
    wchar_t text[32];
    wsprintfW(text, L"%d.%d%d", HIWORD(fixed->dwProductVersionMS),
              LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwFileVersionLS));
    EXPECT_STREQ(text, L"4.30");

    wchar_t* company = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\040904E4\\CompanyName",
                               reinterpret_cast<void**>(&company), &length));
    EXPECT_STREQ(company, L"Brightfen Lab");

    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    ASSERT_TRUE(GetFileAttributesExW(dll.c_str(), GetFileExInfoStandard, &attributes));
    EXPECT_EQ(attributes.nFileSizeLow, 0x37600u);

    EXPECT_EQ(ExtractIconExW(dll.c_str(), -1, nullptr, nullptr, 0), 4u);
    // Without code or entry point it still loads as a library.
    HMODULE library = LoadLibraryW(dll.c_str());
    EXPECT_NE(library, nullptr);
    if (library != nullptr) {
        FreeLibrary(library);
    }
}

TEST(SampleUninstaller, SaysInGermanThatItRemovesNothing) {
    Process uninstaller(L"\"" + Member(L"pm_uninstall.exe") + L"\"");
    ASSERT_TRUE(uninstaller.started);
    HWND box = WaitForWindow(uninstaller, L"#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), L"Pixelmoor deinstallieren");
    std::wstring texts;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&texts));
    EXPECT_NE(texts.find(L"Beispielpaket"), std::wstring::npos) << texts;
    EXPECT_NE(texts.find(L"deinstalliert nichts"), std::wstring::npos) << texts;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(uninstaller.WaitExit(15000), 0u);
}

std::vector<unsigned char> FileBytes(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        LARGE_INTEGER size{};
        DWORD read = 0;
        if (GetFileSizeEx(file, &size) && size.QuadPart < 0x10000000) {
            bytes.resize(static_cast<size_t>(size.QuadPart));
            if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
                read = 0;
            }
        }
        bytes.resize(read);
        CloseHandle(file);
    }
    return bytes;
}

TEST(PayloadResource, InstallerFindsTheArchiveAsZip1974) {
    const std::vector<unsigned char> archive = FileBytes(g_archive);
    ASSERT_FALSE(archive.empty());
    HMODULE installer = LoadLibraryExW(g_installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(installer, nullptr);
    // Looked up by id and type only, as the installer does; stored as German (Austria).
    HRSRC found = FindResourceW(installer, MAKEINTRESOURCEW(1974), L"ZIP");
    ASSERT_NE(found, nullptr);
    EXPECT_NE(FindResourceExW(installer, L"ZIP", MAKEINTRESOURCEW(1974),
                              MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN_AUSTRIAN)),
              nullptr);
    const DWORD size = SizeofResource(installer, found);
    HGLOBAL loaded = LoadResource(installer, found);
    const auto* data = static_cast<const unsigned char*>(LockResource(loaded));
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(size == archive.size() && std::equal(archive.begin(), archive.end(), data));
    FreeLibrary(installer);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        fputws(L"usage: pm_payload_member_tests MEMBERS_FOLDER INSTALLER ARCHIVE\n", stderr);
        return 2;
    }
    g_members = argv[1];
    g_installer = argv[2];
    g_archive = argv[3];
    return RUN_ALL_TESTS();
}
