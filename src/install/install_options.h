// The eleven inputs of one installation, filled by the command line (silent mode) or by the
// wizard's pages.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pm {

// One flag per file-type catalogue row, in catalogue order; entry 62 belongs to no row.
constexpr int kTypeSelectionSize = 63;
constexpr int kImageTypeRows = 48;
using TypeSelection = std::array<int32_t, kTypeSelectionSize>;

struct InstallOptions {
    std::wstring installFolder;
    int startMenuGroup = 0;
    int desktopLink = 0;
    int thumbnailsLink = 0;
    int allUsers = 0;
    std::wstring settingsFolder;  // may hold %NAME% references
    TypeSelection typeSelection{};
    int allUsersXp = 0;
    int anyTypeChosen = 0;
    int silent = 0;
    std::wstring caption;
};

}  // namespace pm
