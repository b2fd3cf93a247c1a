// The installation's file steps around the extraction: the settings folder and files before
// registration, the conversion at the end.
#pragma once

#include <string>

#include "install/install_options.h"

namespace pm {

// Decides and prepares the settings files after the extraction: the install folder's file, the
// settings folder (silent default "%APPDATA%\Pixelmoor" when the install folder lies in
// defaultInstallFolder, %NAME% expanded, created), "INI_Folder" written or deleted, the
// portable layout, and the seeded keys. options.settingsFolder may receive the silent default.
// Returns the active settings file, to be converted at the end with
// ConvertSettingsFileToUnicode.
std::wstring PlaceSettingsFiles(InstallOptions& options, const std::wstring& defaultInstallFolder);

// %NAME% references replaced by the environment variables' values; unknown names vanish with
// both of their "%" signs, and a "%" without partner takes the rest of the text as the name.
std::wstring ExpandEnvironmentReferences(const std::wstring& text);

}  // namespace pm
