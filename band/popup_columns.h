#pragma once
// The seven columns of the "Popup Windows" list: what a record shows in
// each, how wide each column is for a given page width, and how the user's
// own column widths become the new natural widths and shares.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "guard/popup_record.h"

namespace qm::band {

constexpr int kPopupColumnCount = 7;

enum class ColumnAlign { Left, Centre };

struct PopupColumn {
    const char* header;
    ColumnAlign align;
};

// "title", "url", "height", "width", "left", "top", "extra information".
const std::array<PopupColumn, kPopupColumnCount>& PopupColumnHeaders();

using ColumnWidths = std::array<int, kPopupColumnCount>;

class PopupColumnSizes {
public:
    PopupColumnSizes();

    // The widths for a page `pageWidth` pixels wide whose list keeps
    // `scrollBarWidth` pixels for its vertical scroll bar: the natural widths
    // when they fit, else each column's share of the room.
    ColumnWidths WidthsFor(int pageWidth, int scrollBarWidth) const;
    // The user resized columns: their widths become the natural widths and
    // the shares follow from them.
    void Remeasure(const ColumnWidths& current);

    const ColumnWidths& naturalWidths() const { return natural_; }
    const std::array<float, kPopupColumnCount>& shares() const { return shares_; }
    int total() const { return total_; }

private:
    ColumnWidths natural_;
    std::array<float, kPopupColumnCount> shares_;
    int total_;
};

// The texts of a record's row, column by column.
std::array<std::wstring, kPopupColumnCount> PopupRowTexts(const PopupRecord& record);

// The list's four views, as stored in PopupListView.
enum class PopupListView { LargeIcons = 0, SmallIcons = 1, List = 2, Report = 3 };

// The view for a stored value; none for a value outside 0 to 3.
std::optional<PopupListView> ViewForSetting(std::int32_t value);

}  // namespace qm::band
