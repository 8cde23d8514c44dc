#include "guard/record_bounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace qm {
namespace {

TEST(RecordBounds, TextsAtTheirBoundStayWholeAndLongerOnesAreCut) {
    struct Case {
        const char* label;
        std::wstring PopupRecord::*field;
        std::size_t bound;
    };
    const Case cases[] = {
        {"address", &PopupRecord::url, kMaxRecordAddress},
        {"opener's address", &PopupRecord::sourceUrl, kMaxRecordAddress},
        {"title", &PopupRecord::title, kMaxRecordText},
        {"opener's title", &PopupRecord::sourceTitle, kMaxRecordText},
        {"window name", &PopupRecord::targetName, kMaxRecordText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (std::size_t length : {c.bound - 1, c.bound, c.bound + 1, c.bound * 40}) {
            PopupRecord record;
            record.*c.field = std::wstring(length, L'x');
            BoundPageTexts(record);
            EXPECT_EQ((record.*c.field).size(), std::min(length, c.bound)) << length;
        }
    }
}

TEST(RecordBounds, ACharacterOfTwoUnitsIsNeverCutInHalf) {
    const std::wstring pair = L"\xD83D\xDE00";
    struct Case {
        const char* label;
        std::size_t pairAt;  // where the pair starts
        std::size_t kept;
    };
    const Case cases[] = {
        {"pair across the bound", kMaxRecordText - 1, kMaxRecordText - 1},
        {"pair ending at the bound", kMaxRecordText - 2, kMaxRecordText},
        {"pair just past the bound", kMaxRecordText, kMaxRecordText},
    };
    for (const Case& c : cases) {
        PopupRecord record;
        record.title = std::wstring(c.pairAt, L'a') + pair + std::wstring(10, L'b');
        BoundPageTexts(record);
        EXPECT_EQ(record.title.size(), c.kept) << c.label;
        EXPECT_FALSE(record.title.back() >= 0xD800 && record.title.back() <= 0xDBFF) << c.label;
    }
}

}  // namespace
}  // namespace qm
