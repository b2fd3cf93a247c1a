// Extraction of the embedded payload on Windows: the archive goes to a temporary file that no
// other program may write while it is read, and is extracted below the target folder.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace pm {

// Writes resource (resourceType, resourceId) of the program to "<temp folder><temporaryName>",
// extracts it below targetFolder and deletes the temporary file again. 0 on success; -1 when the
// resource is missing or empty, the temporary file cannot be created, written or removed, or the
// extraction fails (ExtractArchive). Afterwards the current directory is the target folder when
// the archive could be opened.
int ExtractPayload(WORD resourceId, const wchar_t* resourceType, const wchar_t* temporaryName,
                   const wchar_t* targetFolder, int skipIconLibrary);

// The part of ExtractPayload after the resource was found: an existing file or symbolic link at
// temporaryPath is removed (a link itself, never its target), the file is created new with read
// sharing only, the bytes are written, and the archive is read back through the same handle, so
// no other program can change it in between. The file is deleted at the end. When the name is
// held by something that must not be removed (a folder, a link the system does not report as
// one), "<name>-1.zip", "-2" ... beside it is used instead. 0 or -1.
int ExtractBytesViaTemporaryFile(const void* bytes, std::size_t size, const wchar_t* temporaryPath,
                                 const wchar_t* targetFolder, int skipIconLibrary);

// Opens the archive (minizip's wide-character Win32 file layer), makes targetFolder the current
// directory (not restored), walks the entries and closes the archive. -1 when the path is
// missing, the archive cannot be opened, the folder cannot be entered or the walk fails.
int ExtractArchive(const wchar_t* archivePath, const wchar_t* targetFolder, int skipIconLibrary);

// Creates the directory with all missing levels. 0 for an empty path or when a level cannot be
// created because its parent is missing; -104 without memory; 1 otherwise.
int MakeDirectoryPath(const wchar_t* path);

// Gives the file the entry's DOS date (upper 16 bits) and time (lower 16 bits), taken as local
// time, as creation and last-write time; the last-access time is kept.
void SetEntryFileTime(const wchar_t* fileName, std::uint32_t dosDateTime);

}  // namespace pm
