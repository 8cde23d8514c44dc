#include "band/popup_columns.h"

#include <gtest/gtest.h>

namespace qm::band {
namespace {

constexpr int kScrollBar = 16;

TEST(PopupColumns, HeadersInTheirOrderAndAlignment) {
    const struct {
        const char* header;
        ColumnAlign align;
    } expected[] = {{"title", ColumnAlign::Left},
                    {"url", ColumnAlign::Left},
                    {"height", ColumnAlign::Centre},
                    {"width", ColumnAlign::Centre},
                    {"left", ColumnAlign::Centre},
                    {"top", ColumnAlign::Centre},
                    {"extra information", ColumnAlign::Left}};
    for (int i = 0; i < kPopupColumnCount; ++i) {
        EXPECT_STREQ(PopupColumnHeaders()[i].header, expected[i].header);
        EXPECT_EQ(PopupColumnHeaders()[i].align, expected[i].align) << i;
    }
}

TEST(PopupColumns, WidthsByShareUpToTheNaturalTotalThenNatural) {
    const struct {
        const char* label;
        int pageWidth;
        ColumnWidths widths;
    } cases[] = {
        {"one pixel more than the natural total",
         601 + kScrollBar,
         {100, 150, 50, 50, 50, 50, 150}},
        {"wide", 1200, {100, 150, 50, 50, 50, 50, 150}},
        // Single precision percentages: 17 percent of 600 is 101, not 102.
        {"exactly the natural total", 600 + kScrollBar, {101, 149, 47, 47, 47, 47, 149}},
        {"narrow", 384 + kScrollBar, {65, 95, 30, 30, 30, 30, 95}},
        {"no room at all", 10, {0, 0, 0, 0, 0, 0, 0}},
    };
    PopupColumnSizes sizes;
    EXPECT_EQ(sizes.total(), 600);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ColumnWidths widths = sizes.WidthsFor(c.pageWidth, kScrollBar);
        for (int i = 0; i < kPopupColumnCount; ++i) EXPECT_EQ(widths[i], c.widths[i]) << i;
    }
}

TEST(PopupColumns, TheUsersWidthsBecomeNaturalWidthsAndShares) {
    PopupColumnSizes sizes;
    const ColumnWidths dragged = {120, 200, 50, 50, 50, 50, 150};
    sizes.Remeasure(dragged);
    EXPECT_EQ(sizes.total(), 672);
    const float shares[] = {17, 29, 7, 7, 7, 7, 22};
    for (int i = 0; i < kPopupColumnCount; ++i) EXPECT_EQ(sizes.shares()[i], shares[i]) << i;

    // Shrinking scales by the new shares; widening restores the dragged widths.
    ColumnWidths narrow = sizes.WidthsFor(672 + kScrollBar, kScrollBar);
    const ColumnWidths scaled = {114, 194, 47, 47, 47, 47, 147};
    for (int i = 0; i < kPopupColumnCount; ++i) EXPECT_EQ(narrow[i], scaled[i]) << i;
    ColumnWidths wide = sizes.WidthsFor(673 + kScrollBar, kScrollBar);
    for (int i = 0; i < kPopupColumnCount; ++i) EXPECT_EQ(wide[i], dragged[i]) << i;
}

TEST(PopupColumns, ColumnsEmptiedByTheUserKeepAShareOfZero) {
    PopupColumnSizes sizes;
    sizes.Remeasure({0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(sizes.total(), 2);
    for (float share : sizes.shares()) EXPECT_EQ(share, 0.0f);
    ColumnWidths widths = sizes.WidthsFor(2 + kScrollBar, kScrollBar);
    for (int width : widths) EXPECT_EQ(width, 0);
}

TEST(PopupColumns, RowTextsOfARecord) {
    const struct {
        const char* label;
        std::int32_t height, width, left, top;
        const wchar_t* texts[4];
    } cases[] = {
        {"sizes below 100 are not given", 99, 100, 0, -1, {L"-", L"100", L"0", L"-"}},
        {"nothing given", -1, -1, -1, -1, {L"-", L"-", L"-", L"-"}},
        {"everything given", 300, 250, 40, 20, {L"300", L"250", L"40", L"20"}},
        {"positions may be negative", 100, 99, -5, -2, {L"100", L"-", L"-5", L"-2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        PopupRecord record;
        record.title = L"Win a prize";
        record.url = L"http://ads.example/win";
        record.height = c.height;
        record.width = c.width;
        record.left = c.left;
        record.top = c.top;
        record.toolbar = 0;
        auto texts = PopupRowTexts(record);
        EXPECT_EQ(texts[0], L"Win a prize");
        EXPECT_EQ(texts[1], L"http://ads.example/win");
        for (int i = 0; i < 4; ++i) EXPECT_EQ(texts[2 + i], c.texts[i]) << i;
        EXPECT_EQ(texts[6], L"toolbar=no");
    }
    EXPECT_EQ(PopupRowTexts(PopupRecord())[6], L"-");
}

TEST(PopupColumns, StoredViewValues) {
    EXPECT_EQ(ViewForSetting(0), PopupListView::LargeIcons);
    EXPECT_EQ(ViewForSetting(1), PopupListView::SmallIcons);
    EXPECT_EQ(ViewForSetting(2), PopupListView::List);
    EXPECT_EQ(ViewForSetting(3), PopupListView::Report);
    EXPECT_FALSE(ViewForSetting(4));
    EXPECT_FALSE(ViewForSetting(-1));
}

}  // namespace
}  // namespace qm::band
