// Starts one program with an exact command line in a chosen current directory and passes its
// exit code back. Wine rebuilds argv from the Unix command line and moves quotes, so the line
// cannot come through argv: it is read from a UTF-8 file (named by the only argument) or from
// standard input. The text holds the current directory on its first line (ended by a line feed)
// and, after that line feed, the command line exactly as CreateProcessW is to receive it.
//
// Exit code: the started program's exit code; 250 when the request cannot be read, 251 when
// the program cannot be started (the Windows error code is printed on standard error).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kBadRequest = 250;
constexpr int kLaunchFailed = 251;

bool ReadAll(HANDLE h, std::string& out) {
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    return true;
}

std::wstring FromUtf8(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()),
                                nullptr, 0);
    if (n <= 0) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::string raw;
    if (argc >= 2) {
        HANDLE f = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "launcher: cannot open request file (error %lu)\n", GetLastError());
            return kBadRequest;
        }
        ReadAll(f, raw);
        CloseHandle(f);
    } else {
        ReadAll(GetStdHandle(STD_INPUT_HANDLE), raw);
    }
    if (raw.size() >= 3 && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3);
    const size_t eol = raw.find('\n');
    if (eol == std::string::npos) {
        std::fprintf(stderr, "launcher: request has no line feed after the directory\n");
        return kBadRequest;
    }
    std::string dirText = raw.substr(0, eol);
    if (!dirText.empty() && dirText.back() == '\r') dirText.pop_back();
    const std::wstring dir = FromUtf8(dirText);
    std::wstring line = FromUtf8(raw.substr(eol + 1));
    if (line.empty()) {
        std::fprintf(stderr, "launcher: empty or invalid command line\n");
        return kBadRequest;
    }

    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // CreateProcessW may write into the command line buffer.
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
        std::fprintf(stderr, "launcher: CreateProcessW failed (error %lu)\n", GetLastError());
        return kLaunchFailed;
    }
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}
