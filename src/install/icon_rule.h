// Whether the icon library already installed in "Plugins" stays or is overwritten by the
// payload's copy.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pm {

// The version number compared: the text parsed as a decimal fraction, stored as a
// single-precision number, times 1000 as single precision, cut toward zero. "4.30" gives 4300.
int VersionNumberFromText(const std::string& ansiVersionText);

constexpr int kReferenceVersionNumber = 4300;                 // "4.30"
constexpr std::uint64_t kReferenceIconLibrarySize = 0x37600;  // 226,816 bytes
constexpr std::wstring_view kIconLibraryMaker = L"Brightfen Lab";

// 1 when the installed library is kept (the payload's entry is skipped), 0 when it is written.
// readResult is ReadVersionAndCompany's result; the version text is in the ANSI code page.
int DecideSkipIconLibrary(int readResult, const std::string& ansiVersionText,
                          std::uint64_t installedSize, std::wstring_view company);

// "%d.%d%d" of the upper and lower halves of the product version's most significant part and
// the upper half of the file version's least significant part.
std::wstring FormatIconLibraryVersion(std::uint32_t productVersionMs, std::uint32_t fileVersionLs);

}  // namespace pm
