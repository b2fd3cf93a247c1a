#include "shell/folders_win32.h"

#include <windows.h>

namespace pm::win {

int EnsureFolderPath(std::wstring& path) {
    if (path.empty()) return 0;
    if (path.back() != L'\\') path += L'\\';
    // Network paths start with "\\server\share\": those levels cannot be created.
    const size_t start = path.rfind(L"\\\\", 0) == 0 ? 2 : 0;
    for (size_t i = path.find(L'\\', start); i != std::wstring::npos; i = path.find(L'\\', i + 1))
        if (i > 0) ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);  // failures judged below
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

}  // namespace pm::win
