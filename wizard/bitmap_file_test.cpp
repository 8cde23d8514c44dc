#include "wizard/bitmap_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace qm {
namespace {

void Put(std::string& file, std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// A 3 x 2 picture of `bits` bits with `colours` table entries (0: all).
std::string Picture(int bits, std::uint32_t colours = 0) {
    const std::uint32_t table = bits <= 8 ? (colours ? colours : 1u << bits) : 0;
    const std::uint32_t rowSize = (3 * bits + 31) / 32 * 4;
    std::string file(14 + 40 + 4 * table + 2 * rowSize, '\x7F');
    file[0] = 'B';
    file[1] = 'M';
    Put(file, 2, static_cast<std::uint32_t>(file.size()), 4);
    Put(file, 10, 14 + 40 + 4 * table, 4);
    Put(file, 14, 40, 4);
    Put(file, 18, 3, 4);
    Put(file, 22, 2, 4);
    Put(file, 26, 1, 2);
    Put(file, 28, bits, 2);
    Put(file, 30, 0, 4);
    Put(file, 46, colours, 4);
    return file;
}

TEST(BitmapFile, SplitsEveryUncompressedDepth) {
    const struct {
        int bits;
        std::uint32_t colours;
        std::size_t infoSize;
        std::size_t pixelsSize;
    } cases[] = {
        {1, 0, 40 + 8, 2 * 4},    {4, 0, 40 + 64, 2 * 4},    {4, 5, 40 + 20, 2 * 4},
        {8, 0, 40 + 1024, 2 * 4}, {8, 200, 40 + 800, 2 * 4}, {16, 0, 40, 2 * 8},
        {24, 0, 40, 2 * 12},      {32, 0, 40, 2 * 12},
    };
    for (const auto& c : cases) {
        const std::string file = Picture(c.bits, c.colours);
        BitmapFileParts parts;
        ASSERT_TRUE(SplitBitmapFile(file, parts)) << c.bits << " bits";
        EXPECT_EQ(parts.info.size(), c.infoSize) << c.bits << " bits";
        EXPECT_EQ(parts.info.data(), file.data() + 14) << c.bits << " bits";
        EXPECT_EQ(parts.pixels.size(), c.pixelsSize) << c.bits << " bits";
        EXPECT_EQ(parts.pixels.data() + parts.pixels.size(), file.data() + file.size())
            << c.bits << " bits";
    }
}

TEST(BitmapFile, TopDownRowsCountAsMany) {
    std::string file = Picture(24);
    Put(file, 22, static_cast<std::uint32_t>(-2), 4);
    BitmapFileParts parts;
    ASSERT_TRUE(SplitBitmapFile(file, parts));
    EXPECT_EQ(parts.pixels.size(), 24u);
}

TEST(BitmapFile, RefusesWhatWouldBeReadBeyondTheFile) {
    const std::string good = Picture(8);
    auto with = [&good](std::size_t at, std::uint32_t value, int bytes) {
        std::string file = good;
        Put(file, at, value, bytes);
        return file;
    };
    const struct {
        const char* label;
        std::string file;
    } cases[] = {
        {"empty", ""},
        {"header cut short", good.substr(0, 53)},
        {"not BM", "XY" + good.substr(2)},
        {"last row cut short", good.substr(0, good.size() - 1)},
        {"pixels start beyond the file", with(10, static_cast<std::uint32_t>(good.size() + 1), 4)},
        {"pixels start inside the table", with(10, 14 + 40 + 1000, 4)},
        {"header smaller than its kind", with(14, 12, 4)},
        {"header larger than the file", with(14, 0xFFFFFFF0u, 4)},
        {"no width", with(18, 0, 4)},
        {"negative width", with(18, static_cast<std::uint32_t>(-3), 4)},
        {"no height", with(22, 0, 4)},
        {"lowest height", with(22, 0x80000000u, 4)},
        {"rows beyond the file", with(22, 0x7FFFFFFF, 4)},
        {"widest rows", with(18, 0x7FFFFFFF, 4)},
        {"two planes", with(26, 2, 2)},
        {"2 bits", with(28, 2, 2)},
        {"run-length encoded", with(30, 1, 4)},
        {"bit fields", with(30, 3, 4)},
        {"table larger than the depth", with(46, 257, 4)},
    };
    for (const auto& c : cases) {
        BitmapFileParts parts;
        EXPECT_FALSE(SplitBitmapFile(c.file, parts)) << c.label;
    }
}

}  // namespace
}  // namespace qm
