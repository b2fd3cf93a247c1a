#include "install/extract_walk.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace pm {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

// Windows ignores trailing blanks and dots of a level and the extension of a device name:
// "nul", "NUL.txt", "Com1 .png" all name a device.
bool IsReservedDeviceName(std::string_view level) {
    std::string base = LowerAscii(level.substr(0, level.find('.')));
    while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.pop_back();
    static constexpr std::array<std::string_view, 4> kPlain = {"con", "prn", "aux", "nul"};
    for (std::string_view device : kPlain) {
        if (base == device) return true;
    }
    if (base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt"))) {
        return base[3] >= '1' && base[3] <= '9';
    }
    return false;
}

// Reads the current entry's information and name; false when minizip fails.
bool ReadEntryInfo(unzFile archive, unz_file_info64& info, std::string& name) {
    std::array<char, 520> buffer{};
    if (unzGetCurrentFileInfo64(archive, &info, buffer.data(), buffer.size(), nullptr, 0, nullptr,
                                0) != UNZ_OK) {
        return false;
    }
    // A name longer than the buffer arrives cut; keep its true length visible to the checks.
    name.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
    if (info.size_filename > name.size()) name.append(info.size_filename - name.size(), '?');
    return true;
}

// Checks every name of the archive before anything is written.
bool AllEntryNamesSafe(unzFile archive, std::uint64_t count) {
    if (unzGoToFirstFile(archive) != UNZ_OK) return false;
    for (std::uint64_t index = 0; index < count; ++index) {
        unz_file_info64 info{};
        std::string name;
        if (!ReadEntryInfo(archive, info, name) || !IsSafeEntryName(name)) return false;
        if (index + 1 < count && unzGoToNextFile(archive) != UNZ_OK) return false;
    }
    return unzGoToFirstFile(archive) == UNZ_OK;
}

// Streams the open entry into the open output file; 0 or the first read or write error.
int CopyEntryData(unzFile archive, ExtractSink& sink, char* buffer) {
    for (;;) {
        const int read = unzReadCurrentFile(archive, buffer, kCopyBufferSize);
        if (read < 0) return read;
        if (read == 0) return 0;
        if (!sink.WriteOutput(buffer, static_cast<std::size_t>(read))) return -1;
    }
}

// Writes one file entry; 0 when it was written whole or skipped, else an error.
int ExtractFileEntry(unzFile archive, const std::string& name, std::uint32_t dosDateTime,
                     ExtractSink& sink, char* buffer) {
    if (unzOpenCurrentFilePassword(archive, nullptr) != UNZ_OK) return -1;
    bool created = sink.CreateOutputFile(name);
    if (!created) {
        const std::size_t cut = name.find_last_of("/\\");
        if (cut != std::string::npos && cut > 0) {
            sink.MakeFolderChain(name.substr(0, cut));
            created = sink.CreateOutputFile(name);
        }
    }
    if (!created) {
        // Cannot be created at all: skipped, its data is not read.
        return unzCloseCurrentFile(archive);
    }
    int result = CopyEntryData(archive, sink, buffer);
    if (!sink.CloseOutputFile() && result == 0) result = -1;
    if (result == 0) {
        sink.SetFileTime(name, dosDateTime);
        // Checks the CRC-32 now that all data was read.
        return unzCloseCurrentFile(archive);
    }
    unzCloseCurrentFile(archive);
    return result;
}

}  // namespace

bool IsSafeEntryName(std::string_view name) {
    if (name.empty() || name.size() > kMaxEntryNameLength) return false;
    if (name.front() == '/' || name.front() == '\\') return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::strchr(":<>\"|?*", c) != nullptr) return false;
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view level = name.substr(start, end - start);
        if (level == ".." || IsReservedDeviceName(level)) return false;
        start = end + 1;
    }
    return true;
}

bool IsIconLibraryEntry(std::string_view name) {
    return LowerAscii(name).find("icons.dll") != std::string::npos;
}

int ExtractEntries(unzFile archive, int skipIconLibrary, ExtractSink& sink) {
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(archive, &global) != UNZ_OK) return kExtractFailed;
    const std::uint64_t count = global.number_entry;
    if (count == 0) return kExtractOk;
    if (!AllEntryNamesSafe(archive, count)) return kExtractFailed;

    for (std::uint64_t index = 0; index < count; ++index) {
        unz_file_info64 info{};
        std::string name;
        if (!ReadEntryInfo(archive, info, name)) return kExtractFailed;

        if (!(skipIconLibrary != 0 && IsIconLibraryEntry(name))) {
            std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBufferSize]);
            if (!buffer) return kExtractFailed;
            const std::size_t cut = name.find_last_of("/\\");
            const bool isDirectory = cut != std::string::npos && cut + 1 == name.size();
            int result = 0;
            if (isDirectory) {
                sink.MakeDirectory(name);
            } else {
                result = ExtractFileEntry(archive, name, static_cast<std::uint32_t>(info.dosDate),
                                          sink, buffer.get());
            }
            if (result != 0) return kExtractFailed;
        }

        if (index + 1 < count && unzGoToNextFile(archive) != UNZ_OK) return kExtractFailed;
    }
    return kExtractOk;
}

}  // namespace pm
