// Path rules of the installer: cleaning folder paths, the level walk of folder creation, the
// install folder read back from an earlier installation and the proposed default folder.
// The Win32 side (paths_win32.h) performs the file-system and registry work.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "install/install_options.h"

namespace pm {

// Removes trailing blanks (U+0020 only); removes leading blanks when the text is shorter than
// 260 characters.
void TrimSpaces(std::wstring& path);

// Appends "\" when the text has 1 to 258 characters and does not end in one.
void AppendBackslash(std::wstring& path);

// The level walk of folder creation over a path that is already trimmed and ends in "\":
// each prefix up to a separator, trimmed, is one folder to create (in this order); the rebuilt
// path loses blanks before separators and ends in "\". A network path keeps its leading "\\".
struct FolderPlan {
    std::vector<std::wstring> levels;
    std::wstring path;
};
FolderPlan PlanFolderLevels(std::wstring_view path);

// The folder of the viewer named in an open command read from the registry (at most 259
// characters of it count). Gives the folder ending in "\", or nothing when the command does
// not name "p_moor32.exe" or names it without a folder.
std::optional<std::wstring> FolderFromOpenCommand(std::wstring_view command);

// The proposed install folder from the "ProgramFilesDir" value: the value, "\" and "Pixelmoor";
// "C:\Pixelmoor\" when the value is missing, empty or too long for a path.
std::wstring DefaultFolderFromProgramFiles(const std::optional<std::wstring>& programFiles);

// The install folder as the installation uses it (trimmed, ending in "\") fits
// kMaxInstallFolderLength. An empty folder fits (it is refused on its own).
bool InstallFolderFits(std::wstring_view installFolder);

// The expanded settings folder, trimmed and ending in "\", leaves room for the settings file's
// temporary twin within a path.
bool SettingsFolderFits(std::wstring_view expandedSettingsFolder);

// The settings folder (unexpanded) the installation will use: the caller's one when given;
// otherwise, in silent mode, "%APPDATA%\Pixelmoor" when the install folder lies in the default
// folder (case-sensitive substring); otherwise empty (the settings stay in the install folder).
std::wstring ChooseSettingsFolder(const InstallOptions& options, std::wstring_view defaultFolder);

}  // namespace pm
