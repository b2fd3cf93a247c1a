// The command line of silent mode: options are plain, case-sensitive substrings of the line,
// the first occurrence counts, and their values land in an InstallOptions record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "install/install_options.h"

namespace pm {

// The command line is searched in a copy of at most this many characters.
constexpr std::size_t kCommandLineCopyLength = 519;
// A value never reaches past this many characters counted from its option's "/".
constexpr std::size_t kOptionReach = 260;

constexpr wchar_t kSilentCaption[] = L"Pixelmoor 32-bit Setup";

// "/silent" anywhere in the line (program path included) selects silent mode.
bool IsSilentCommandLine(std::wstring_view commandLine);

// Copies source[start..] into destination while the index is below min(source length, limit)
// and the character is not "/". Returns the index where copying stopped.
std::size_t ExtractOptionValue(std::wstring_view source, std::wstring& destination,
                               std::size_t start, std::size_t limit);

// Removes trailing blanks, one closing and one opening double quote, then trailing blanks again.
void UnquoteValue(std::wstring& text);

// Decimal conversion like wcstol with base 10 on Windows (32-bit long): leading white space,
// optional sign, digits up to the first non-digit; no digits give 0; out-of-range values are
// clamped.
int32_t ParseNumber(std::wstring_view text);

// The folder defaults that stand before the options are read: the folder of an earlier
// installation when one was found, else the default folder.
struct FolderDefaults {
    std::optional<std::wstring> existingFolder;
    std::wstring defaultFolder;
};

// The record of a silent installation: defaults first, then the options of the line.
InstallOptions ParseSilentOptions(std::wstring_view commandLine, const FolderDefaults& defaults);

}  // namespace pm
