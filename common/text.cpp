#include "common/text.h"

#include "common/code_page.h"

namespace qm {
namespace {

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Length in bytes of the character that starts at pos.
std::size_t CharLength(const CodePage& cp, std::string_view text, std::size_t pos) {
    return cp.isLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

}  // namespace

std::size_t FindFirst(std::string_view text, std::string_view what, std::size_t from) {
    if (what.empty() || what.size() > text.size()) return kNotFound;
    const CodePage& cp = systemCodePage();
    for (std::size_t pos = 0; pos + what.size() <= text.size(); pos += CharLength(cp, text, pos)) {
        if (pos >= from && text.compare(pos, what.size(), what) == 0) return pos;
    }
    return kNotFound;
}

std::size_t FindFirst(std::string_view text, char what, std::size_t from) {
    return FindFirst(text, std::string_view(&what, 1), from);
}

std::size_t FindLast(std::string_view text, std::string_view what) {
    if (what.empty() || what.size() > text.size()) return kNotFound;
    const CodePage& cp = systemCodePage();
    std::size_t found = kNotFound;
    for (std::size_t pos = 0; pos + what.size() <= text.size(); pos += CharLength(cp, text, pos)) {
        if (text.compare(pos, what.size(), what) == 0) found = pos;
    }
    return found;
}

std::size_t FindLast(std::string_view text, char what) {
    return FindLast(text, std::string_view(&what, 1));
}

std::string_view TrimLeft(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start])) ++start;
    return text.substr(start);
}

std::string_view TrimRight(std::string_view text) {
    // Walk forward so that a trail byte is never taken for a blank.
    const CodePage& cp = systemCodePage();
    std::size_t end = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t length = CharLength(cp, text, pos);
        if (length > 1 || !IsBlank(text[pos])) end = pos + length;
        pos += length;
    }
    return text.substr(0, end);
}

std::string_view Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

std::wstring ToWide(std::string_view ansi) {
    return systemCodePage().toWide(ansi);
}

std::string ToAnsi(std::wstring_view wide) {
    return systemCodePage().toAnsi(wide);
}

}  // namespace qm

namespace qm {

std::string BlankRecordBreakers(std::string_view text) {
    // Byte by byte: a damaged double-byte character whose second byte is one
    // of these would otherwise carry it into the file.
    std::string result(text);
    for (char& c : result) {
        if (c == '\x1B' || c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return result;
}

std::int32_t ParseDecimal(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    std::int64_t value = 0;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > limit) value = limit;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace qm
