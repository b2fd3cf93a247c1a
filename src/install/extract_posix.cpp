#include "install/extract_posix.h"

#include <sys/stat.h>
#include <utime.h>

#include <cerrno>
#include <ctime>

namespace pm {

PosixExtractSink::PosixExtractSink(std::string baseFolder) : base_(std::move(baseFolder)) {
    if (!base_.empty() && base_.back() != '/') base_ += '/';
}

PosixExtractSink::~PosixExtractSink() {
    if (out_ != nullptr) std::fclose(out_);
}

std::string PosixExtractSink::PathOf(const std::string& name) const {
    std::string path = base_ + name;
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

void PosixExtractSink::MakeDirectory(const std::string& name) {
    ::mkdir(PathOf(name).c_str(), 0777);
}

int PosixExtractSink::MakeFolderChain(const std::string& folder) {
    std::string path = PathOf(folder);
    for (std::size_t i = base_.size() + 1; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/') {
            const std::string level = path.substr(0, i);
            if (::mkdir(level.c_str(), 0777) != 0 && errno == ENOENT) return 0;
        }
    }
    return 1;
}

bool PosixExtractSink::CreateOutputFile(const std::string& name) {
    out_ = std::fopen(PathOf(name).c_str(), "wb");
    return out_ != nullptr;
}

bool PosixExtractSink::WriteOutput(const char* data, std::size_t size) {
    return std::fwrite(data, 1, size, out_) == size;
}

bool PosixExtractSink::CloseOutputFile() {
    const int closed = std::fclose(out_);
    out_ = nullptr;
    return closed == 0;
}

void PosixExtractSink::SetFileTime(const std::string& name, std::uint32_t dosDateTime) {
    std::tm local{};
    local.tm_year = static_cast<int>((dosDateTime >> 25) & 0x7F) + 80;
    local.tm_mon = static_cast<int>((dosDateTime >> 21) & 0x0F) - 1;
    local.tm_mday = static_cast<int>((dosDateTime >> 16) & 0x1F);
    local.tm_hour = static_cast<int>((dosDateTime >> 11) & 0x1F);
    local.tm_min = static_cast<int>((dosDateTime >> 5) & 0x3F);
    local.tm_sec = static_cast<int>(dosDateTime & 0x1F) * 2;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    if (when == static_cast<std::time_t>(-1)) return;
    utimbuf times{when, when};
    ::utime(PathOf(name).c_str(), &times);
}

int ExtractArchivePosix(const std::string& archivePath, const std::string& targetFolder,
                        int skipIconLibrary) {
    if (archivePath.empty()) return kExtractFailed;
    unzFile archive = unzOpen64(archivePath.c_str());
    if (archive == nullptr) return kExtractFailed;
    PosixExtractSink sink(targetFolder);
    const int result = ExtractEntries(archive, skipIconLibrary, sink);
    unzClose(archive);
    return result;
}

}  // namespace pm
