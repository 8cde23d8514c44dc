#include "guard/record_bounds.h"

#include <string>

namespace qm {
namespace {

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

void Bound(std::wstring& text, std::size_t limit) {
    if (text.size() <= limit) return;
    // A pair cut in two would convert to a stray character.
    std::size_t keep = limit > 0 && IsHighSurrogate(text[limit - 1]) ? limit - 1 : limit;
    text.resize(keep);
    text.shrink_to_fit();
}

}  // namespace

void BoundPageTexts(PopupRecord& record) {
    Bound(record.url, kMaxRecordAddress);
    Bound(record.sourceUrl, kMaxRecordAddress);
    Bound(record.title, kMaxRecordText);
    Bound(record.sourceTitle, kMaxRecordText);
    Bound(record.targetName, kMaxRecordText);
}

}  // namespace qm
