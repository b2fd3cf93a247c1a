#include "install/install_steps_win32.h"

#include <windows.h>

#include "install/paths.h"
#include "install/paths_win32.h"
#include "install/percent_win32.h"
#include "install/settings_file.h"
#include "install/settings_file_win32.h"

namespace pm {

std::wstring PlaceSettingsFiles(InstallOptions& options, const std::wstring& defaultInstallFolder) {
    std::wstring installFolderPath = options.installFolder;
    TrimSpaces(installFolderPath);
    if (!installFolderPath.empty() && installFolderPath.back() != L'\\') installFolderPath += L'\\';

    options.settingsFolder = ChooseSettingsFolder(options, defaultInstallFolder);
    SettingsPlan plan = PlanSettingsFiles(
        installFolderPath, options.settingsFolder,
        [](const std::wstring& text) { return ExpandEnvironmentReferences(text); });

    if (plan.useSettingsFolder) {
        // The folder text as folder creation leaves it names the active file (a rooted
        // remainder such as "\Pixelmoor" loses its leading backslash there).
        CreateFolderPath(plan.expandedFolder);
        plan.activeSettingsFile = plan.expandedFolder + L"p_moor32.ini";
        plan.portableLayout = PortableLayoutOf(plan.activeSettingsFile, true);
        ::WritePrivateProfileStringW(L"Others", L"INI_Folder", plan.settingsFolder.c_str(),
                                     plan.installSettingsFile.c_str());
    } else {
        // A NULL value deletes the key.
        ::WritePrivateProfileStringW(L"Others", L"INI_Folder", nullptr,
                                     plan.installSettingsFile.c_str());
    }
    SeedSettingsFiles(plan.activeSettingsFile, plan.installSettingsFile, plan.portableLayout);
    return plan.activeSettingsFile;
}

}  // namespace pm
