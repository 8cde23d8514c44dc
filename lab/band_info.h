#pragma once
// A band's answer to GetBandInfo as the bar frame reads it: which members it
// filled, and the height the frame gives the bar.

#include <cstdint>
#include <string>

namespace qm::lab {

// The DBIM_* bits of the shell's band-info structure.
enum BandInfoMask : std::uint32_t {
    kBandMinSize = 0x1,
    kBandMaxSize = 0x2,
    kBandIntegral = 0x4,
    kBandActual = 0x8,
    kBandTitle = 0x10,
    kBandModeFlags = 0x20,
    kBandBackColor = 0x40,
    kBandAllMembers = 0x7F,
};

struct Point {
    int x = 0;
    int y = 0;
};

struct BandInfoAnswer {
    std::uint32_t mask = 0;  // as the band left it
    Point minSize, maxSize, integral, actual;
    std::string title;
    std::uint32_t modeFlags = 0;
    std::uint32_t backColor = 0;
};

// The bar's height for a horizontal bar: the ideal height, else the
// minimum, kept within the minimum and a maximum other than -1.
int BarHeight(const BandInfoAnswer& answer);

}  // namespace qm::lab
