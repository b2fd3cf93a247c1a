#include "install/install_steps_win32.h"

#include <windows.h>

#include "install/settings_file.h"
#include "install/settings_file_win32.h"

namespace pm {
namespace {

std::wstring Trimmed(std::wstring text) {
    while (!text.empty() && text.back() == L' ') text.pop_back();
    const std::size_t lead = text.find_first_not_of(L' ');
    text.erase(0, lead == std::wstring::npos ? text.size() : lead);
    return text;
}

// Creates every level of the folder; failures of single levels (drive, server, share, existing
// levels) are ignored.
void CreateFolderLevels(const std::wstring& folder) {
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (folder[i] == L'\\' && i > 0) ::CreateDirectoryW(folder.substr(0, i).c_str(), nullptr);
    }
    ::CreateDirectoryW(folder.c_str(), nullptr);
}

}  // namespace

std::wstring ExpandEnvironmentReferences(const std::wstring& text) {
    std::wstring result;
    std::size_t position = 0;
    while (position < text.size()) {
        if (text[position] != L'%') {
            result += text[position++];
            continue;
        }
        const std::size_t close = text.find(L'%', position + 1);
        const std::size_t end = close == std::wstring::npos ? text.size() : close;
        const std::wstring name = text.substr(position + 1, end - position - 1);
        wchar_t value[260] = {};
        const DWORD length = ::GetEnvironmentVariableW(name.c_str(), value, 260);
        if (length > 0 && length < 260) result += value;
        if (close == std::wstring::npos) break;
        position = close + 1;
    }
    return result;
}

std::wstring PlaceSettingsFiles(InstallOptions& options, const std::wstring& defaultInstallFolder) {
    std::wstring installFolderPath = Trimmed(options.installFolder);
    if (!installFolderPath.empty() && installFolderPath.back() != L'\\') installFolderPath += L'\\';

    const SettingsPlan plan =
        PlanSettingsFiles(options.installFolder, installFolderPath, options.settingsFolder,
                          options.silent, defaultInstallFolder, ExpandEnvironmentReferences);
    options.settingsFolder = plan.settingsFolder;

    if (plan.useSettingsFolder) {
        CreateFolderLevels(plan.expandedFolder);
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
