// The operating-system class, read once from GetVersionExW and passed down, so every branch can
// be decided (and tested) on any host.
#pragma once

namespace pm {

struct OsVersion {
    unsigned platformId = 2;  // VER_PLATFORM_WIN32_NT
    unsigned major = 6;
    unsigned minor = 1;
};

constexpr bool IsNt(const OsVersion& v) { return v.platformId == 2; }
// XP and Server 2003: NT 5.1 or 5.2.
constexpr bool IsXpFamily(const OsVersion& v) { return IsNt(v) && v.major == 5 && v.minor >= 1; }
constexpr bool IsVistaOrLater(const OsVersion& v) { return IsNt(v) && v.major >= 6; }
// Without a compatibility section in the manifest, Windows 8, 8.1 and 10 report 6.2.
constexpr bool IsWindows8OrLater(const OsVersion& v) {
    return IsNt(v) && v.major >= 6 && v.minor >= 2;
}
// The start-menu group gets no uninstall link on a system reporting exactly 6.2.
constexpr bool ReportsExactly62(const OsVersion& v) {
    return IsNt(v) && v.major == 6 && v.minor == 2;
}

}  // namespace pm
