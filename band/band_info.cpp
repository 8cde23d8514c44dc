#include "band/band_info.h"

namespace qm {
namespace {
// DBIMF_NORMAL | DBIMF_VARIABLEHEIGHT | DBIMF_DEBOSSED | DBIMF_BKCOLOR
constexpr std::uint32_t kExpandedModes = 0x68;
// DBIMF_FIXED | DBIMF_DEBOSSED | DBIMF_BKCOLOR
constexpr std::uint32_t kCollapsedModes = 0x61;
constexpr std::int32_t kExpandedHeight = 104;
constexpr std::int32_t kCollapsedHeight = 18;
}  // namespace

BandInfoAnswer AnswerBandInfo(std::uint32_t mask, bool expanded) {
    std::int32_t height = expanded ? kExpandedHeight : kCollapsedHeight;
    BandInfoAnswer answer{};
    // The default background is wanted, so the colour is never given.
    answer.mask = mask & ~kBandBackColor;
    answer.minSize = {104, height};
    answer.maxSize = {-1, expanded ? -1 : kCollapsedHeight};
    answer.integral = {1, 1};
    answer.actual = {100, height};
    answer.title = expanded ? "quellmark" : "";
    answer.modeFlags = expanded ? kExpandedModes : kCollapsedModes;
    return answer;
}

}  // namespace qm
