#include "install/icon_rule.h"

#include <cstdlib>

#include "common/text.h"

namespace pm {

int VersionNumberFromText(const std::string& ansiVersionText) {
    // volatile keeps each value in single precision on x87, where the product would otherwise
    // stay in an extended register and "4.31" would come out as 4309.
    volatile float version = static_cast<float>(std::strtod(ansiVersionText.c_str(), nullptr));
    volatile float scaled = version * 1000.0f;
    return static_cast<int>(scaled);
}

int DecideSkipIconLibrary(int readResult, const std::string& ansiVersionText,
                          std::uint64_t installedSize, std::wstring_view company) {
    if (readResult != 1) return 0;
    const int reference = VersionNumberFromText("4.30");
    const int installed = VersionNumberFromText(ansiVersionText);
    if (installed > reference) return 1;
    if (installed == reference && installedSize != kReferenceIconLibrarySize) return 1;
    return EqualsIgnoreAsciiCase(company, kIconLibraryMaker) ? 0 : 1;
}

std::wstring FormatIconLibraryVersion(std::uint32_t productVersionMs, std::uint32_t fileVersionLs) {
    return std::to_wstring(productVersionMs >> 16) + L"." +
           std::to_wstring(productVersionMs & 0xFFFF) + std::to_wstring(fileVersionLs >> 16);
}

}  // namespace pm
