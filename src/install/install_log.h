// The install log's entry format: what silent mode appends to "Pixelmoor_Install.log".
#pragma once

#include <string>
#include <string_view>

namespace pm {

constexpr wchar_t kInstallLogFileName[] = L"Pixelmoor_Install.log";

// "hh:mm:ss" on the 24-hour clock.
std::wstring FormatLogTime(int hour, int minute, int second);

// The bytes of one entry: "<date> - <time>: <message>", a line end, 48 "-" and a line end.
// Latin-1 (every character above U+00FF as "?"), each line feed as CR LF, no byte-order mark.
std::string FormatInstallLogEntry(std::wstring_view date, std::wstring_view time,
                                  std::wstring_view message);

}  // namespace pm
