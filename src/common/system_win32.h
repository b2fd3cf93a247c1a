// Small Win32 helpers shared by the whole program.
#pragma once

#include <windows.h>

#include <string>

namespace pm::win {

// The full path of a file in the system directory ("C:\Windows\system32\<name>").
// System libraries are loaded by this path only, never through the search path.
std::wstring SystemDirectoryFile(const wchar_t* name);

// Loads a system library by its full path; nullptr when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A message of the executable's string table; the empty text when it is not there.
std::wstring LoadResourceString(UINT id);

}  // namespace pm::win
