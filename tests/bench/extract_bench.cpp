// Measures the extraction walk: extracts one archive into a folder and reports the wall time and
// the peak resident memory of this process. Not a test; scripts/bench-extract.sh runs it beside
// unzip on the same archive.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "install/extract_posix.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ARCHIVE.zip TARGET-FOLDER\n", argv[0]);
        return 2;
    }
    std::filesystem::create_directories(argv[2]);
    const auto start = std::chrono::steady_clock::now();
    const int result = pm::ExtractArchivePosix(argv[1], argv[2], 0);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("result %d, wall %.3f s, peak RSS %ld KiB\n", result, elapsed.count(),
                usage.ru_maxrss);
    return result == 0 ? 0 : 1;
}
