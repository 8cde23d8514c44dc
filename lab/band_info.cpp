#include "lab/band_info.h"

#include <algorithm>

namespace qm::lab {

int BarHeight(const BandInfoAnswer& answer) {
    int height = 0;
    if (answer.mask & kBandActual) {
        height = answer.actual.y;
    } else if (answer.mask & kBandMinSize) {
        height = answer.minSize.y;
    }
    if (answer.mask & kBandMinSize) height = std::max(height, answer.minSize.y);
    if ((answer.mask & kBandMaxSize) && answer.maxSize.y >= 0) {
        height = std::min(height, answer.maxSize.y);
    }
    return std::max(height, 0);
}

}  // namespace qm::lab
