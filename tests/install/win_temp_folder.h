// A fresh folder under the temporary directory, made the current directory for the test and
// removed afterwards (with everything in it); the previous current directory comes back.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace pm::test {

class TempFolder {
  public:
    TempFolder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        wchar_t name[MAX_PATH];
        ::GetTempFileNameW(temp, L"pmt", 0, name);
        ::DeleteFileW(name);
        ::CreateDirectoryW(name, nullptr);
        path_ = name;
        previous_ = Current();
        ::SetCurrentDirectoryW(path_.c_str());
    }
    ~TempFolder() {
        ::SetCurrentDirectoryW(previous_.c_str());
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder without trailing backslash; Sub("a\\b") is a path inside it.
    const std::wstring& Path() const { return path_; }
    std::wstring Sub(const std::wstring& relative) const { return path_ + L"\\" + relative; }

    static std::wstring Current() {
        wchar_t dir[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, dir);
        return dir;
    }
    static bool IsFolder(const std::wstring& path) {
        const DWORD a = ::GetFileAttributesW(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }

  private:
    std::wstring path_;
    std::wstring previous_;
};

}  // namespace pm::test
