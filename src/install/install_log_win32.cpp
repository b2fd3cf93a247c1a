#include "install/install_log_win32.h"

#include <windows.h>

#include <share.h>

#include <cstdio>

#include "common/win32_handles.h"
#include "install/install_log.h"

namespace pm {
namespace {

// The user's short date; the ISO form of the local date when the locale cannot format it.
std::wstring ShortDate(const SYSTEMTIME& now) {
    wchar_t date[256] = {};
    if (::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 256) > 0) {
        return date;
    }
    wchar_t iso[16];
    std::swprintf(iso, 16, L"%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    return iso;
}

}  // namespace

void WriteInstallLog(const std::wstring& message) {
    // Binary mode: the entry already carries its CR LF line ends.
    win::CFile file(::_wfsopen(kInstallLogFileName, L"ab", _SH_DENYNO));
    if (!file) return;
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    const std::string entry = FormatInstallLogEntry(
        ShortDate(now), FormatLogTime(now.wHour, now.wMinute, now.wSecond), message);
    std::fwrite(entry.data(), 1, entry.size(), file.Get());
}

}  // namespace pm
