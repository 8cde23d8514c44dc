#pragma once
// What the band answers when the browser asks for its size and title: an
// expanded band is resizable from 104 pixels, a collapsed one a fixed strip.

#include <cstdint>

namespace qm {

// The DESKBANDINFO mask bits, as the shell defines them.
constexpr std::uint32_t kBandMinSize = 0x01;
constexpr std::uint32_t kBandMaxSize = 0x02;
constexpr std::uint32_t kBandIntegral = 0x04;
constexpr std::uint32_t kBandActual = 0x08;
constexpr std::uint32_t kBandTitle = 0x10;
constexpr std::uint32_t kBandModeFlags = 0x20;
constexpr std::uint32_t kBandBackColor = 0x40;

struct BandPoint {
    std::int32_t x;
    std::int32_t y;
};

struct BandInfoAnswer {
    std::uint32_t mask;  // the requested mask, without the background colour
    BandPoint minSize;
    BandPoint maxSize;
    BandPoint integral;
    BandPoint actual;
    const char* title;
    std::uint32_t modeFlags;
};

BandInfoAnswer AnswerBandInfo(std::uint32_t mask, bool expanded);

}  // namespace qm
