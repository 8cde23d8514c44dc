#include "band/band_context_menu.h"

#include <utility>

#include "band/resources/face_ids.h"

namespace qm::band {
namespace {

constexpr unsigned kViewTexts[] = {IDS_LARGE_ICONS, IDS_SMALL_ICONS, IDS_LIST, IDS_REPORT};
constexpr unsigned kClearLogOffset = 5;
constexpr unsigned kWhiteListOffset = 6;
constexpr unsigned kBlackListOffset = 7;
constexpr unsigned kAboutOffset = 9;

BandMenuItem Item(unsigned offset, unsigned stringId, bool checked = false) {
    return {false, offset, stringId, checked};
}

BandMenuItem Separator() {
    return {true, 0, 0, false};
}

}  // namespace

BandMenuPlan PlanBandMenu(const BandMenuSituation& situation) {
    BandMenuPlan plan{{}, 0};
    if (situation.defaultOnly || !situation.popupPageSelected) return plan;
    if (situation.maximised && situation.pointerInList) {
        for (unsigned view = 0; view < 4; ++view) {
            bool checked = situation.view && static_cast<unsigned>(*situation.view) == view;
            plan.items.push_back(Item(view + 1, kViewTexts[view], checked));
        }
        plan.items.push_back(Separator());
        plan.items.push_back(Item(kClearLogOffset, IDS_CLEAR_LOG));
        plan.items.push_back(Separator());
        if (situation.pointerOnRow) {
            plan.items.push_back(Item(kWhiteListOffset, IDS_ADD_TO_WHITE_LIST));
            plan.items.push_back(Item(kBlackListOffset, IDS_ADD_TO_BLACK_LIST));
            plan.items.push_back(Separator());
        }
    }
    plan.items.push_back(Item(kAboutOffset, IDS_ABOUT));
    plan.items.push_back(Separator());
    // An item whose identifier would pass the browser's last one is left out.
    std::vector<BandMenuItem> fitting;
    for (const BandMenuItem& item : plan.items) {
        if (item.offset <= situation.maxOffset) fitting.push_back(item);
    }
    plan.items = std::move(fitting);
    plan.idsUsed = kBandMenuIdsUsed;
    return plan;
}

std::optional<BandCommand> CommandAtOffset(std::uintptr_t offset) {
    switch (offset) {
        case 1:
        case 2:
        case 3:
        case 4:
            return BandCommand{BandCommandKind::SetView, static_cast<PopupListView>(offset - 1)};
        case kClearLogOffset:
            return BandCommand{BandCommandKind::ClearLog, {}};
        case kWhiteListOffset:
            return BandCommand{BandCommandKind::AddToWhiteList, {}};
        case kBlackListOffset:
            return BandCommand{BandCommandKind::AddToBlackList, {}};
        case 8:
            return BandCommand{BandCommandKind::Nothing, {}};
        case kAboutOffset:
            return BandCommand{BandCommandKind::About, {}};
    }
    return std::nullopt;
}

std::optional<unsigned> CommandTextId(std::uintptr_t offset) {
    if (offset >= 1 && offset <= 4) return kViewTexts[offset - 1];
    switch (offset) {
        case kClearLogOffset:
            return IDS_CLEAR_LOG;
        case kWhiteListOffset:
            return IDS_ADD_TO_WHITE_LIST;
        case kBlackListOffset:
            return IDS_ADD_TO_BLACK_LIST;
        case kAboutOffset:
            return IDS_ABOUT;
    }
    return std::nullopt;
}

}  // namespace qm::band
