#include "wizard/packed_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "wizard/testing/pack_file.h"

namespace qm {
namespace {

// Bytes that do not compress, from a fixed linear congruential sequence.
std::string Noise(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

TEST(PackedFile, UnpacksEveryFileToItsExactBytes) {
    const struct {
        const char* label;
        std::string file;
    } cases[] = {
        {"empty", ""},
        {"one byte", "x"},
        {"zero bytes inside", std::string("a\0b\0\0c", 6)},
        {"text with CRLF", "line one\r\nline two\r\n"},
        {"incompressible", Noise(70000)},
        {"long runs", std::string(1 << 20, 'q') + "end"},
    };
    for (const auto& c : cases) {
        std::string unpacked = "stale";
        ASSERT_TRUE(UnpackFile(testing::PackFile(c.file), unpacked)) << c.label;
        EXPECT_EQ(unpacked, c.file) << c.label;
    }
}

TEST(PackedFile, RejectsAnythingButTheWholeFile) {
    const std::string file = "The quick brown fox jumps over the lazy dog. " + Noise(300);
    const std::string packed = testing::PackFile(file);
    auto withSize = [&packed](std::uint32_t size) {
        std::string changed = packed;
        for (int i = 0; i < 4; ++i) changed[i] = static_cast<char>(size >> (8 * i) & 0xFF);
        return changed;
    };
    std::string flipped = packed;
    flipped[packed.size() / 2] = static_cast<char>(flipped[packed.size() / 2] ^ 0x10);
    std::string badSum = packed;
    badSum.back() = static_cast<char>(badSum.back() ^ 1);
    const struct {
        const char* label;
        std::string packed;
    } cases[] = {
        {"nothing", ""},
        {"size cut short", packed.substr(0, 3)},
        {"size without stream", packed.substr(0, 4)},
        {"stream cut short", packed.substr(0, packed.size() - 10)},
        {"size says one more", withSize(static_cast<std::uint32_t>(file.size() + 1))},
        {"size says one less", withSize(static_cast<std::uint32_t>(file.size() - 1))},
        {"size says nothing", withSize(0)},
        {"size beyond any packed file", withSize(static_cast<std::uint32_t>(kMaxUnpackedSize + 1))},
        {"size beyond what memory holds", withSize(UINT32_MAX - 1)},
        {"largest size", withSize(UINT32_MAX)},
        {"byte after the stream", packed + "!"},
        {"damaged stream", flipped},
        {"wrong sum", badSum},
        {"not a zlib stream", packed.substr(0, 4) + file},
    };
    for (const auto& c : cases) {
        std::string unpacked = "kept";
        EXPECT_FALSE(UnpackFile(c.packed, unpacked)) << c.label;
        EXPECT_EQ(unpacked, "kept") << c.label << ": a failure changes nothing";
    }
}

}  // namespace
}  // namespace qm
