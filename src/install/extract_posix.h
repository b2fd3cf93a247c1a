// The extraction walk on POSIX systems: used by the native tests and the extraction benchmark.
#pragma once

#include "install/extract_walk.h"

#include <cstdio>
#include <string>

namespace pm {

// Writes entries below a base folder with POSIX calls; "\" in names counts as "/".
class PosixExtractSink : public ExtractSink {
  public:
    explicit PosixExtractSink(std::string baseFolder);
    ~PosixExtractSink() override;
    PosixExtractSink(const PosixExtractSink&) = delete;
    PosixExtractSink& operator=(const PosixExtractSink&) = delete;

    void MakeDirectory(const std::string& name) override;
    int MakeFolderChain(const std::string& folder) override;
    bool CreateOutputFile(const std::string& name) override;
    bool WriteOutput(const char* data, std::size_t size) override;
    bool CloseOutputFile() override;
    void SetFileTime(const std::string& name, std::uint32_t dosDateTime) override;

  private:
    std::string PathOf(const std::string& name) const;
    std::string base_;
    FILE* out_ = nullptr;
};

// Opens the archive at `archivePath` and extracts it below `targetFolder` (which must exist).
// kExtractFailed when the archive cannot be opened or the walk fails.
int ExtractArchivePosix(const std::string& archivePath, const std::string& targetFolder,
                        int skipIconLibrary);

}  // namespace pm
