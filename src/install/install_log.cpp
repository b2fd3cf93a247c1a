#include "install/install_log.h"

#include <cwchar>

#include "common/text.h"

namespace pm {

std::wstring FormatLogTime(int hour, int minute, int second) {
    wchar_t text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"%02d:%02d:%02d", hour, minute, second);
    return text;
}

std::string FormatInstallLogEntry(std::wstring_view date, std::wstring_view time,
                                  std::wstring_view message) {
    std::wstring entry;
    entry.append(date).append(L" - ").append(time).append(L": ").append(message);
    entry += L'\n';
    entry.append(48, L'-');
    entry += L'\n';
    return WithCrLf(ToLatin1(entry));
}

}  // namespace pm
