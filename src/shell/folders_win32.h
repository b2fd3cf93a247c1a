// Folder creation for the start-menu group.
#pragma once

#include <string>

namespace pm::win {

// Creates the folder with every missing parent and leaves `path` ending in a backslash.
// Returns 1 when the folder exists afterwards, else 0.
int EnsureFolderPath(std::wstring& path);

}  // namespace pm::win
