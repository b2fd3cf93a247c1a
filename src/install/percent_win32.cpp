#include "install/percent_win32.h"

#include <windows.h>

#include "install/percent.h"

namespace pm {

std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) {
    if (name.empty()) return {};
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD n =
            ::GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (n == 0) {
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return {};
            return std::wstring();
        }
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.resize(n);  // n counts the terminator when the buffer was too small
    }
}

std::wstring ExpandEnvironmentReferences(std::wstring_view text) {
    return ExpandPercentReferences(text, EnvironmentVariable);
}

}  // namespace pm
