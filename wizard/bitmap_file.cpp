#include "wizard/bitmap_file.h"

#include <cstdint>

namespace qm {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;

std::uint32_t Read(std::string_view file, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes; i-- > 0;) value = value << 8 | static_cast<unsigned char>(file[at + i]);
    return value;
}

}  // namespace

bool SplitBitmapFile(std::string_view file, BitmapFileParts& parts) {
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file.substr(0, 2) != "BM") return false;
    const std::uint64_t pixelsAt = Read(file, 10, 4);
    const std::uint64_t infoSize = Read(file, 14, 4);
    const auto width = static_cast<std::int32_t>(Read(file, 18, 4));
    const auto height = static_cast<std::int32_t>(Read(file, 22, 4));
    const std::uint32_t planes = Read(file, 26, 2);
    const std::uint32_t bits = Read(file, 28, 2);
    const std::uint32_t compression = Read(file, 30, 4);
    const std::uint64_t coloursUsed = Read(file, 46, 4);
    if (infoSize < kInfoHeaderSize || planes != 1 || compression != kUncompressed) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return false;
    }
    if (width <= 0 || height == 0 || height == INT32_MIN) return false;
    const std::uint64_t tableSize = bits <= 8 ? (coloursUsed ? coloursUsed : 1u << bits) : 0;
    if (bits <= 8 && tableSize > (1u << bits)) return false;
    const std::uint64_t infoEnd = kFileHeaderSize + infoSize + 4 * tableSize;
    if (infoEnd > pixelsAt || pixelsAt > file.size()) return false;
    const std::uint64_t rowSize = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    const std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    const std::uint64_t pixelsSize = rowSize * rows;
    if (pixelsSize > file.size() - pixelsAt) return false;
    parts.info = file.substr(kFileHeaderSize, static_cast<std::size_t>(infoEnd - kFileHeaderSize));
    parts.pixels =
        file.substr(static_cast<std::size_t>(pixelsAt), static_cast<std::size_t>(pixelsSize));
    return true;
}

}  // namespace qm
