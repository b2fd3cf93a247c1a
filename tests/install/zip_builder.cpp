#include "zip_builder.h"

#include <zlib.h>

#include <stdexcept>

namespace pm::test {
namespace {

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::string RawDeflate(const std::string& data) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) throw std::runtime_error("deflate");
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace

std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
    const std::uint32_t date =
        static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
    const std::uint32_t time =
        static_cast<std::uint32_t>((hour << 11) | (minute << 5) | (second / 2));
    return (date << 16) | time;
}

std::string BuildZip(const std::vector<ZipEntry>& entries) {
    std::string out;
    std::string central;
    for (const ZipEntry& e : entries) {
        const bool deflated = e.deflate && !e.data.empty();
        const std::string body = deflated ? RawDeflate(e.data) : e.data;
        std::uint32_t crc = static_cast<std::uint32_t>(crc32(
            0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        if (e.breakCrc) crc ^= 0x5A5A5A5A;
        const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
        auto header = [&](std::string& h, bool isCentral) {
            Put32(h, isCentral ? 0x02014b50 : 0x04034b50);
            if (isCentral) Put16(h, 20);
            Put16(h, 20);                // version needed
            Put16(h, 0);                 // flags
            Put16(h, deflated ? 8 : 0);  // method
            Put32(h, e.dosDateTime);     // time, then date
            Put32(h, crc);
            Put32(h, static_cast<std::uint32_t>(body.size()));
            Put32(h, static_cast<std::uint32_t>(e.data.size()));
            Put16(h, static_cast<std::uint32_t>(e.name.size()));
            Put16(h, 0);  // extra
            if (isCentral) {
                Put16(h, 0);  // comment
                Put16(h, 0);  // disk
                Put16(h, 0);  // internal attributes
                Put32(h, e.name.back() == '/' ? 0x10 : 0x20);
                Put32(h, offset);
            }
            h += e.name;
        };
        header(out, false);
        out += body;
        header(central, true);
    }
    const std::uint32_t centralOffset = static_cast<std::uint32_t>(out.size());
    out += central;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<std::uint32_t>(entries.size()));
    Put16(out, static_cast<std::uint32_t>(entries.size()));
    Put32(out, static_cast<std::uint32_t>(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
}

}  // namespace pm::test
