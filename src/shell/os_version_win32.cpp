#include "shell/os_version_win32.h"

#include <windows.h>

namespace pm::win {

static_assert(sizeof(OSVERSIONINFOW) == 276);

OsVersion QueryOsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExW(&info)) return OsVersion{0, 0, 0};
    return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

}  // namespace pm::win
