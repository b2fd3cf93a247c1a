// The installation's settings-file steps after the extraction: the settings folder, the
// "INI_Folder" key, the portable layout and the seeded keys.
#pragma once

#include <string>

#include "install/install_options.h"

namespace pm {

// Decides and prepares the settings files after the extraction: the install folder's file, the
// chosen settings folder (the caller's, or the silent default "%APPDATA%\Pixelmoor" when the
// install folder lies in defaultInstallFolder; %NAME% expanded and created), "INI_Folder"
// written (unexpanded) or deleted, the portable layout, and the seeded keys.
// options.settingsFolder receives the folder used. Returns the active settings file, which the
// installation converts to UTF-16 at its end.
std::wstring PlaceSettingsFiles(InstallOptions& options, const std::wstring& defaultInstallFolder);

}  // namespace pm
