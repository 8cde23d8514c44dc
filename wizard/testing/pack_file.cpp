#include "wizard/testing/pack_file.h"

#include <zlib.h>

#include <cstdint>

namespace qm::testing {

std::string PackFile(std::string_view bytes) {
    std::string packed;
    auto size = static_cast<std::uint32_t>(bytes.size());
    for (int i = 0; i < 4; ++i) packed += static_cast<char>(size >> (8 * i) & 0xFF);
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    std::string stream(length, '\0');
    compress2(reinterpret_cast<Bytef*>(&stream[0]), &length,
              reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uLong>(bytes.size()),
              Z_BEST_COMPRESSION);
    stream.resize(length);
    return packed + stream;
}

}  // namespace qm::testing
