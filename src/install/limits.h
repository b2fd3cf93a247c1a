// Length limits of the installer's paths. Windows paths hold at most 259 characters; every
// path the installation composes stays within that, which bounds the folders it accepts.
#pragma once

#include <cstddef>

namespace pm {

// A path: at most 259 characters plus terminator.
constexpr std::size_t kPathBufferSize = 260;
constexpr std::size_t kMaxPathLength = kPathBufferSize - 1;

// The longest text the installation ever composes behind the install folder (payload entry
// names, which the payload build keeps to this length; the quoted thumbnails command; the help
// link).
constexpr std::size_t kMaxComposedBehindFolder = 64;

// The install folder, trimmed and with its trailing backslash, may hold this many characters.
constexpr std::size_t kMaxInstallFolderLength = kMaxPathLength - kMaxComposedBehindFolder;

// The longest name placed in the settings folder (the settings file's temporary twin).
constexpr wchar_t kSettingsTempFileName[] = L"p_moor32.ini_temp";

}  // namespace pm
