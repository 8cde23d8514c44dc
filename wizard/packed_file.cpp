#include "wizard/packed_file.h"

#include <zlib.h>

#include <cstdint>

namespace qm {
namespace {

constexpr std::size_t kSizeBytes = 4;

// Inflates all of `in` into `out`, which is one byte longer than the file
// should be, so that a stream giving more than the size says shows.
bool Inflate(std::string_view in, std::string& out, std::uint32_t size) {
    // zlib counts in 32 bits; the installer's files are far smaller.
    if (in.size() > UINT32_MAX) return false;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
    stream.avail_out = static_cast<uInt>(out.size());
    bool whole = inflate(&stream, Z_FINISH) == Z_STREAM_END && stream.avail_in == 0 &&
                 stream.total_out == size;
    inflateEnd(&stream);
    return whole;
}

}  // namespace

bool UnpackFile(std::string_view packed, std::string& bytes) {
    if (packed.size() < kSizeBytes) return false;
    std::uint32_t size = 0;
    for (std::size_t i = kSizeBytes; i-- > 0;) {
        size = size << 8 | static_cast<unsigned char>(packed[i]);
    }
    if (size > kMaxUnpackedSize) return false;
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    if (!Inflate(packed.substr(kSizeBytes), out, size)) return false;
    out.resize(size);
    bytes.swap(out);
    return true;
}

}  // namespace qm
