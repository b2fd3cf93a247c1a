// Loads the built installer as a data file and reads its messages and what's-new text the way
// the program does: LoadStringW, and FindResourceW/SizeofResource/LoadResource.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "res_test_paths.h"

namespace {

// A build path as Windows sees it under Wine (drive Z: is the host's root); a path that
// already carries a drive letter is kept.
std::wstring WindowsPath(const char* hostPath) {
    std::wstring path;
    for (const char* p = hostPath; *p; ++p) path += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
    if (!path.empty() && path[0] == L'\\') path.insert(0, L"Z:");
    return path;
}

// PM_SETUP_EXE overrides the path of the installer that the build made.
std::wstring InstallerPath() {
    const wchar_t* env = _wgetenv(L"PM_SETUP_EXE");
    return env && *env ? std::wstring(env) : WindowsPath(PM_TEST_SETUP_EXE);
}

struct CloseFile {
    void operator()(FILE* f) const { fclose(f); }
};
struct FreeModule {
    void operator()(HMODULE m) const { FreeLibrary(m); }
};
using ModulePtr = std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule>;

// The whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& path) {
    std::unique_ptr<FILE, CloseFile> f(_wfopen(path.c_str(), L"rb"));
    std::string out;
    if (!f) return out;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f.get())) > 0;) out.append(buf, n);
    return out;
}

std::wstring FromUtf8(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()),
                                nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()),
                        out.data(), n);
    return out;
}

// Key and text of each line of the shared file of expected texts ("key\ttext", with \n, \t
// and \\ escapes, '#' comments).
std::map<std::string, std::wstring> LoadExpectedTexts() {
    std::map<std::string, std::wstring> out;
    std::string all = ReadFileBytes(WindowsPath(PM_TEST_EXPECTED_TEXTS));
    size_t pos = 0;
    while (pos < all.size()) {
        size_t end = all.find('\n', pos);
        if (end == std::string::npos) end = all.size();
        std::string line = all.substr(pos, end - pos);
        pos = end + 1;
        size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
        std::string text;
        for (size_t i = tab + 1; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                char e = line[++i];
                text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
            } else {
                text += line[i];
            }
        }
        out[line.substr(0, tab)] = FromUtf8(text);
    }
    return out;
}

class InstallerResources : public testing::Test {
  protected:
    void SetUp() override {
        module_.reset(LoadLibraryExW(InstallerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module_) << "cannot load the installer, error " << GetLastError();
        texts_ = LoadExpectedTexts();
        ASSERT_FALSE(texts_.empty()) << "no expected texts read";
    }

    ModulePtr module_;
    std::map<std::string, std::wstring> texts_;
};

TEST_F(InstallerResources, MessagesLoadWithTheirExactTexts) {
    for (int id : {5, 7, 9, 10, 11}) {
        SCOPED_TRACE(id);
        const std::wstring& expected = texts_.at("string." + std::to_string(id));
        std::vector<wchar_t> buf(1024, L'#');
        int n = LoadStringW(module_.get(), static_cast<UINT>(id), buf.data(),
                            static_cast<int>(buf.size()));
        ASSERT_GT(n, 0) << "error " << GetLastError();
        EXPECT_EQ(std::wstring(buf.data(), static_cast<size_t>(n)), expected);
        EXPECT_EQ(buf[static_cast<size_t>(n)], L'\0');
    }
    // Messages the program copies into small fixed buffers are cut there, never overrun.
    wchar_t small[6];
    small[5] = L'#';
    EXPECT_EQ(LoadStringW(module_.get(), 10, small, 5), 4);
    EXPECT_STREQ(small, L"Warn");
    EXPECT_EQ(small[5], L'#');
    // An id outside the table gives nothing.
    wchar_t none[8] = L"x";
    EXPECT_EQ(LoadStringW(module_.get(), 4, none, 8), 0);
}

TEST_F(InstallerResources, WhatsNewTextReadsInPlace) {
    HRSRC found = FindResourceW(module_.get(), MAKEINTRESOURCEW(217), L"TXT");
    ASSERT_NE(found, nullptr);
    DWORD size = SizeofResource(module_.get(), found);
    HGLOBAL loaded = LoadResource(module_.get(), found);
    ASSERT_NE(loaded, nullptr);
    const char* data = static_cast<const char*>(LockResource(loaded));
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(size, 2520u);
    std::string bytes(data, size);
    EXPECT_EQ(bytes, ReadFileBytes(WindowsPath(PM_TEST_WHATSNEW_UTF16)));
    ASSERT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE"));
    std::wstring text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    const std::wstring rule(139, L'-');
    EXPECT_EQ(text.substr(0, rule.size() + 2), rule + L"\r\n");
    EXPECT_NE(text.find(L"\r\n" + texts_.at("whatsnew.version") + L"\r\n" + rule + L"\r\n\r\n- "),
              std::wstring::npos);
    const std::wstring tail = texts_.at("whatsnew.download") + L"\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

// The manifest as Windows reads it: it builds an activation context, asks for the highest
// available run level without user-interface access, and brings in version 6 of the common
// controls. A manifest that Windows rejects would stop the installer from starting at all.
TEST_F(InstallerResources, ManifestBuildsAnActivationContext) {
    const std::wstring path = InstallerPath();
    ACTCTXW request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    struct Release {
        HANDLE h;
        ~Release() { ReleaseActCtx(h); }
    } release{context};

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level = {};
    SIZE_T written = 0;
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof level, &written))
        << "error " << GetLastError();
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_HIGHEST_AVAILABLE);
    EXPECT_EQ(level.UiAccess, 0u);

    ULONG_PTR cookie = 0;
    ASSERT_TRUE(ActivateActCtx(context, &cookie));
    // By bare name on purpose: the activation context redirects it to the side-by-side copy
    // of Common-Controls 6 (whose DllGetVersion reports 5 under Wine, so its folder tells).
    ModulePtr controls(LoadLibraryW(L"comctl32.dll"));
    DeactivateActCtx(0, cookie);
    ASSERT_TRUE(controls);
    wchar_t file[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(controls.get(), file, MAX_PATH), 0u);
    std::wstring folder = file;
    for (wchar_t& c : folder) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(folder.find(L"\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0."),
              std::wstring::npos)
        << "comctl32 came from " << testing::PrintToString(std::wstring(file));
}

}  // namespace
