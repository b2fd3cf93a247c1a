#include "install/paths.h"

#include <algorithm>

#include "install/limits.h"

namespace pm {

void TrimSpaces(std::wstring& path) {
    while (!path.empty() && path.back() == L' ') path.pop_back();
    if (!path.empty() && path.front() == L' ' && path.size() < kPathBufferSize) {
        path.erase(0, path.find_first_not_of(L' '));
    }
}

void AppendBackslash(std::wstring& path) {
    if (!path.empty() && path.size() <= kMaxPathLength - 1 && path.back() != L'\\') path += L'\\';
}

FolderPlan PlanFolderLevels(std::wstring_view path) {
    FolderPlan plan;
    std::size_t pos = 0;
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        plan.path = L"\\\\";
        pos = 2;
    }
    const std::size_t end = std::min(path.size(), kPathBufferSize);
    for (; pos < end; ++pos) {
        if (path[pos] != L'\\') {
            plan.path += path[pos];
            continue;
        }
        TrimSpaces(plan.path);
        plan.levels.push_back(plan.path);
        AppendBackslash(plan.path);
    }
    AppendBackslash(plan.path);
    return plan;
}

std::optional<std::wstring> FolderFromOpenCommand(std::wstring_view command) {
    command = command.substr(0, std::min(command.size(), kMaxPathLength));
    if (command.empty() || command.find(L"p_moor32.exe") == std::wstring_view::npos) return {};
    // The program path: from the second character up to the next double quote.
    std::wstring_view program = command.substr(1);
    program = program.substr(0, program.find(L'"'));
    // Drive and directory, as the run-time's path splitting sees them.
    std::size_t folderEnd = 0;
    if (program.size() >= 2 && program[1] == L':') folderEnd = 2;
    const std::size_t lastSeparator = program.find_last_of(L"\\/");
    if (lastSeparator != std::wstring_view::npos && lastSeparator + 1 > folderEnd) {
        folderEnd = lastSeparator + 1;
    }
    std::wstring folder(program.substr(0, folderEnd));
    if (folder.empty()) return {};
    if (folder.back() != L'\\') folder += L'\\';
    return folder;
}

std::wstring DefaultFolderFromProgramFiles(const std::optional<std::wstring>& programFiles) {
    const std::wstring fallback = L"C:\\Pixelmoor\\";
    if (!programFiles || programFiles->empty()) return fallback;
    std::wstring folder = *programFiles;
    if (folder.back() != L'\\') folder += L'\\';
    folder += L"Pixelmoor";
    return folder.size() <= kMaxPathLength ? folder : fallback;
}

bool InstallFolderFits(std::wstring_view installFolder) {
    std::wstring folder(installFolder);
    TrimSpaces(folder);
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder.size() <= kMaxInstallFolderLength;
}

bool SettingsFolderFits(std::wstring_view expandedSettingsFolder) {
    std::wstring folder(expandedSettingsFolder);
    TrimSpaces(folder);
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder.size() + std::char_traits<wchar_t>::length(kSettingsTempFileName) <=
           kMaxPathLength;
}

std::wstring ChooseSettingsFolder(const InstallOptions& options, std::wstring_view defaultFolder) {
    if (!options.settingsFolder.empty()) return options.settingsFolder;
    if (options.silent && !defaultFolder.empty() &&
        options.installFolder.find(defaultFolder) != std::wstring::npos) {
        return L"%APPDATA%\\Pixelmoor";
    }
    return {};
}

}  // namespace pm
