// Path routines that touch the system: folder creation and the two registry reads.
#pragma once

#include <string>

namespace pm {

// Creates the folder with all missing parents. Leaves the text trimmed, rebuilt without blanks
// before separators and ending in "\" (emptied when it is blank, unchanged when it is longer
// than a path may be). Gives 1 when the folder can be entered afterwards, else 0. The current directory is
// the same before and after the call.
int CreateFolderPath(std::wstring& path);

// The folder of an earlier installation, read back from the viewer's open command under
// HKLM\SOFTWARE\Classes\Pixelmoor\shell\open\command. Gives 1 and the folder ending in "\",
// or 0 and the empty text.
int FindExistingInstallFolder(std::wstring& folder);

// The proposed target folder: "ProgramFilesDir" followed by "\Pixelmoor" (no trailing
// backslash), or "C:\Pixelmoor\" when that value cannot be read. Always gives 1.
int GetDefaultInstallFolder(std::wstring& folder);

}  // namespace pm
