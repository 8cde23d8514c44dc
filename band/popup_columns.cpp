#include "band/popup_columns.h"

#include <numeric>

#include "common/decimal.h"

namespace qm::band {
namespace {

constexpr ColumnWidths kNaturalWidths = {100, 150, 50, 50, 50, 50, 150};
constexpr std::array<float, kPopupColumnCount> kShares = {17, 25, 8, 8, 8, 8, 25};
// The share is a percentage; single precision on purpose, so 600 pixels at
// 17 percent give 101 pixels, not 102, as users of the list have always seen.
constexpr float kPercent = 0.01f;
// Room the user's columns keep beside their sum when they are remeasured.
constexpr int kRemeasureSlack = 2;

std::wstring Size(std::int32_t value) {
    return value < 100 ? L"-" : DecimalWideText(value);
}

std::wstring Position(std::int32_t value) {
    return value == -1 ? L"-" : DecimalWideText(value);
}

}  // namespace

const std::array<PopupColumn, kPopupColumnCount>& PopupColumnHeaders() {
    static const std::array<PopupColumn, kPopupColumnCount> headers = {{
        {"title", ColumnAlign::Left},
        {"url", ColumnAlign::Left},
        {"height", ColumnAlign::Centre},
        {"width", ColumnAlign::Centre},
        {"left", ColumnAlign::Centre},
        {"top", ColumnAlign::Centre},
        {"extra information", ColumnAlign::Left},
    }};
    return headers;
}

PopupColumnSizes::PopupColumnSizes()
    : natural_(kNaturalWidths),
      shares_(kShares),
      total_(std::accumulate(kNaturalWidths.begin(), kNaturalWidths.end(), 0)) {}

ColumnWidths PopupColumnSizes::WidthsFor(int pageWidth, int scrollBarWidth) const {
    const int available = pageWidth - scrollBarWidth;
    if (available > total_) return natural_;
    ColumnWidths widths;
    for (int i = 0; i < kPopupColumnCount; ++i) {
        double width = static_cast<double>(available) * shares_[i] * kPercent;
        // A negative width would ask the list to size the column itself.
        widths[i] = width > 0 ? static_cast<int>(width) : 0;
    }
    return widths;
}

void PopupColumnSizes::Remeasure(const ColumnWidths& current) {
    natural_ = current;
    total_ = std::accumulate(current.begin(), current.end(), 0) + kRemeasureSlack;
    for (int i = 0; i < kPopupColumnCount; ++i) {
        shares_[i] = static_cast<float>(current[i] * 100 / total_);
    }
}

std::array<std::wstring, kPopupColumnCount> PopupRowTexts(const PopupRecord& record) {
    return {
        record.title,          record.url,           Size(record.height),       Size(record.width),
        Position(record.left), Position(record.top), record.FeaturesText(false)};
}

std::optional<PopupListView> ViewForSetting(std::int32_t value) {
    if (value < 0 || value > 3) return std::nullopt;
    return static_cast<PopupListView>(value);
}

}  // namespace qm::band
