#include "band/band_context_menu.h"

#include <gtest/gtest.h>

#include <ostream>

#include "band/resources/face_ids.h"

namespace qm::band {

std::ostream& operator<<(std::ostream& out, const BandMenuItem& item) {
    if (item.separator) return out << "separator";
    return out << "offset " << item.offset << " text " << item.stringId
               << (item.checked ? " checked" : "");
}

namespace {

const BandMenuItem kSeparator = {true, 0, 0, false};
BandMenuItem Item(unsigned offset, unsigned text, bool checked = false) {
    return {false, offset, text, checked};
}

BandMenuSituation OverARow() {
    return {false, true, true, true, true, PopupListView::Report, 100};
}

TEST(BandContextMenu, ItemsForEachPageSizeAndPointer) {
    const std::vector<BandMenuItem> aboutOnly = {Item(9, IDS_ABOUT), kSeparator};
    const std::vector<BandMenuItem> viewsAndClear = {Item(1, IDS_LARGE_ICONS),
                                                     Item(2, IDS_SMALL_ICONS, true),
                                                     Item(3, IDS_LIST),
                                                     Item(4, IDS_REPORT),
                                                     kSeparator,
                                                     Item(5, IDS_CLEAR_LOG),
                                                     kSeparator,
                                                     Item(9, IDS_ABOUT),
                                                     kSeparator};
    const std::vector<BandMenuItem> everything = {Item(1, IDS_LARGE_ICONS),
                                                  Item(2, IDS_SMALL_ICONS),
                                                  Item(3, IDS_LIST),
                                                  Item(4, IDS_REPORT, true),
                                                  kSeparator,
                                                  Item(5, IDS_CLEAR_LOG),
                                                  kSeparator,
                                                  Item(6, IDS_ADD_TO_WHITE_LIST),
                                                  Item(7, IDS_ADD_TO_BLACK_LIST),
                                                  kSeparator,
                                                  Item(9, IDS_ABOUT),
                                                  kSeparator};

    auto situation = [](auto change) {
        BandMenuSituation s = OverARow();
        change(s);
        return s;
    };
    const struct {
        const char* label;
        BandMenuSituation situation;
        std::vector<BandMenuItem> items;
        unsigned used;
    } cases[] = {
        {"over a row of the report", OverARow(), everything, 11},
        {"in the list below the rows, small icons",
         situation([](auto& s) { s.pointerOnRow = false, s.view = PopupListView::SmallIcons; }),
         viewsAndClear, 11},
        {"outside the list", situation([](auto& s) { s.pointerInList = false; }), aboutOnly, 11},
        {"band minimised", situation([](auto& s) { s.maximised = false; }), aboutOnly, 11},
        {"Tools or Preferences showing",
         situation([](auto& s) { s.popupPageSelected = false; }),
         {},
         0},
        {"default item only", situation([](auto& s) { s.defaultOnly = true; }), {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        BandMenuPlan plan = PlanBandMenu(c.situation);
        EXPECT_EQ(plan.items, c.items);
        EXPECT_EQ(plan.idsUsed, c.used);
    }
}

TEST(BandContextMenu, NoCheckMarkForAViewOutsideTheFour) {
    BandMenuSituation s = OverARow();
    s.view.reset();
    for (const BandMenuItem& item : PlanBandMenu(s).items) EXPECT_FALSE(item.checked) << item;
}

TEST(BandContextMenu, ItemsBeyondTheBrowsersLastIdentifierAreLeftOut) {
    BandMenuSituation s = OverARow();
    s.maxOffset = 6;
    BandMenuPlan plan = PlanBandMenu(s);
    std::vector<unsigned> offsets;
    for (const BandMenuItem& item : plan.items) {
        if (!item.separator) offsets.push_back(item.offset);
    }
    EXPECT_EQ(offsets, (std::vector<unsigned>{1, 2, 3, 4, 5, 6}));
}

TEST(BandContextMenu, CommandsByOffset) {
    const struct {
        std::uintptr_t offset;
        bool known;
        BandCommandKind kind;
        PopupListView view;
        bool hasText;
        unsigned text;
    } cases[] = {
        {0, false, {}, {}, false, 0},
        {1, true, BandCommandKind::SetView, PopupListView::LargeIcons, true, IDS_LARGE_ICONS},
        {2, true, BandCommandKind::SetView, PopupListView::SmallIcons, true, IDS_SMALL_ICONS},
        {3, true, BandCommandKind::SetView, PopupListView::List, true, IDS_LIST},
        {4, true, BandCommandKind::SetView, PopupListView::Report, true, IDS_REPORT},
        {5, true, BandCommandKind::ClearLog, {}, true, IDS_CLEAR_LOG},
        {6, true, BandCommandKind::AddToWhiteList, {}, true, IDS_ADD_TO_WHITE_LIST},
        {7, true, BandCommandKind::AddToBlackList, {}, true, IDS_ADD_TO_BLACK_LIST},
        {8, true, BandCommandKind::Nothing, {}, false, 0},
        {9, true, BandCommandKind::About, {}, true, IDS_ABOUT},
        {10, false, {}, {}, false, 0},
        {0x10000, false, {}, {}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        auto command = CommandAtOffset(c.offset);
        ASSERT_EQ(command.has_value(), c.known);
        if (command) {
            EXPECT_EQ(command->kind, c.kind);
            if (c.kind == BandCommandKind::SetView) {
                EXPECT_EQ(command->view, c.view);
            }
        }
        auto text = CommandTextId(c.offset);
        ASSERT_EQ(text.has_value(), c.hasText);
        if (text) {
            EXPECT_EQ(*text, c.text);
        }
    }
}

}  // namespace
}  // namespace qm::band
