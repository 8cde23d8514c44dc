#pragma once
// A double-byte code page for tests, laid out like Shift-JIS: 0x81-0x9F and
// 0xE0-0xFC lead a two-byte character whose trail byte may be any byte,
// including "/", ":", "@", "." and "?". A pair maps to the wide character
// (lead << 8 | trail); single bytes map to U+0000-U+00FF.

#include "common/code_page.h"

namespace qm::testing {

class DbcsCodePage : public CodePage {
public:
    bool isLeadByte(unsigned char byte) const override;
    std::wstring toWide(std::string_view text) const override;
    std::string toAnsi(std::wstring_view text) const override;
};

}  // namespace qm::testing
