// Seeding and converting the viewer's settings file with the Windows profile functions.
#pragma once

#include <string>
#include <string_view>

namespace pm {

// Writes the language keys into the active file (and, in the portable layout, the defaults
// into the install folder's file) and, when no toolbar skin is set yet, the skin that suits the
// primary screen.
void SeedSettingsFiles(const std::wstring& activeSettingsFile,
                       const std::wstring& installSettingsFile, int portableLayout);

// Converts an 8-bit settings file to UTF-16 (byte-order mark, header, the whole content in one
// conversion) through "p_moor32.ini_temp" beside it. 1 when the file is UTF-16 afterwards or
// there was nothing to convert; 0 when the final replacement failed (the 8-bit file then stays
// and the temporary file remains beside it). An empty file leaves a temporary file with only the
// byte-order mark and header beside the unchanged file.
int ConvertSettingsFileToUnicode(const std::wstring& path);

// ANSI code page text to UTF-16LE bytes, in one MultiByteToWideChar call.
std::string AnsiToUtf16Le(std::string_view ansi);

}  // namespace pm
