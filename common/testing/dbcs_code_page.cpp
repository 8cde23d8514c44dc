#include "common/testing/dbcs_code_page.h"

namespace qm::testing {

bool DbcsCodePage::isLeadByte(unsigned char byte) const {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::wstring DbcsCodePage::toWide(std::string_view text) const {
    std::wstring wide;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (isLeadByte(byte) && i + 1 < text.size()) {
            wide.push_back(static_cast<wchar_t>(byte << 8 | static_cast<unsigned char>(text[++i])));
        } else {
            wide.push_back(static_cast<wchar_t>(byte));
        }
    }
    return wide;
}

std::string DbcsCodePage::toAnsi(std::wstring_view text) const {
    std::string ansi;
    for (wchar_t c : text) {
        unsigned value = static_cast<unsigned>(c);
        if (value < 0x100) {
            ansi.push_back(static_cast<char>(value));
        } else if (value <= 0xFFFF && isLeadByte(static_cast<unsigned char>(value >> 8))) {
            ansi.push_back(static_cast<char>(value >> 8));
            ansi.push_back(static_cast<char>(value & 0xFF));
        } else {
            ansi.push_back('?');
        }
    }
    return ansi;
}

}  // namespace qm::testing
