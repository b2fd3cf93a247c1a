// The extraction walk over minizip: which entries are written where, in which order, and how an
// error ends the work. The side effects go through a small sink, so the same walk runs on
// Windows (Win32 sink) and natively (POSIX sink).
#pragma once

#include <unzip.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "install/limits.h"

namespace pm {

// Longest entry name (in bytes) that the walk writes: every text composed behind the install
// folder path stays within this length.
constexpr std::size_t kMaxEntryNameLength = kMaxComposedBehindFolder;

// Size of the one copy buffer each entry is streamed through.
constexpr std::size_t kCopyBufferSize = 0x8000;

// Result of ExtractEntries and ExtractArchive when the archive was walked completely.
constexpr int kExtractOk = 0;
// Result when the archive could not be opened or walked, or an entry could not be written whole.
constexpr int kExtractFailed = -1;

// Entry names arrive as the archive's 8-bit text; the sink converts them for its platform.
// All names are relative to the current target folder.
class ExtractSink {
  public:
    virtual ~ExtractSink() = default;
    // Creates one directory level; an existing directory or any other failure is ignored.
    virtual void MakeDirectory(const std::string& name) = 0;
    // Creates the whole folder chain of `folder`; 1 when it exists afterwards, 0 otherwise.
    virtual int MakeFolderChain(const std::string& folder) = 0;
    // Creates (or truncates) the output file; false when it cannot be created.
    virtual bool CreateOutputFile(const std::string& name) = 0;
    // Writes to the open output file; false when not all bytes were written.
    virtual bool WriteOutput(const char* data, std::size_t size) = 0;
    // Closes the open output file; false when buffered data could not be written.
    virtual bool CloseOutputFile() = 0;
    // Gives the written file the entry's DOS date (upper 16 bits) and time (lower 16 bits).
    virtual void SetFileTime(const std::string& name, std::uint32_t dosDateTime) = 0;
};

// True when the entry name may be written: relative, below the target folder, at most
// kMaxEntryNameLength bytes, naming plain files and folders only. Refused are rooted names
// ("/x", "\x"), anything with ":" (drive letters, alternate data streams), ".." levels,
// reserved device names (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without extension, in any
// level and letter case), control characters and the characters < > " | ? *.
bool IsSafeEntryName(std::string_view name);

// True when the lower-cased (A-Z only) entry name contains "icons.dll".
bool IsIconLibraryEntry(std::string_view name);

// Walks every entry of the open archive and writes it through the sink: directory entries as
// directories, file entries as files (with their folder chain when it is missing), each file
// with the entry's date and time. With skipIconLibrary set, entries named like the icon library
// are left alone. All names are checked before anything is written: an archive holding one
// refused name writes nothing. Returns kExtractOk when every entry was handled; kExtractFailed
// on a refused name or on a read, CRC, write or memory error, which ends the walk (files written
// before stay). A file that cannot be created at all (held open by a running viewer, say) is
// skipped and the walk goes on.
int ExtractEntries(unzFile archive, int skipIconLibrary, ExtractSink& sink);

}  // namespace pm
