// The install log of silent mode.
#pragma once

#include <string>

namespace pm {

// Appends one dated entry to "Pixelmoor_Install.log" in the current directory. The file is
// opened shared for each entry; when it cannot be opened the entry is dropped silently.
void WriteInstallLog(const std::wstring& message);

}  // namespace pm
