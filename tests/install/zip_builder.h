// Builds small zip archives in memory for the extraction tests: stored or deflated entries,
// chosen names and times, and deliberately broken checksums.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pm::test {

struct ZipEntry {
    std::string name;  // 8-bit name as stored; folders end in "/"
    std::string data;
    bool deflate = true;                     // method 8, else stored
    std::uint32_t dosDateTime = 0x5A8B6C2D;  // date in the upper, time in the lower 16 bits
    bool breakCrc = false;                   // store a wrong CRC-32
};

std::string BuildZip(const std::vector<ZipEntry>& entries);

// DOS date and time from calendar values (local time).
std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second);

}  // namespace pm::test
