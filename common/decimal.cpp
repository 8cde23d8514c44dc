#include "common/decimal.h"

namespace qm {
namespace {

// Digits are taken from the unsigned magnitude, so INT32_MIN, whose negation
// does not fit, is printed like any other value.
template <typename Char>
std::basic_string<Char> Decimal(std::int32_t value) {
    std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    Char digits[11];
    Char* first = digits + sizeof digits / sizeof digits[0];
    do {
        *--first = static_cast<Char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0) *--first = '-';
    return std::basic_string<Char>(first, digits + sizeof digits / sizeof digits[0]);
}

}  // namespace

std::string DecimalText(std::int32_t value) {
    return Decimal<char>(value);
}

std::wstring DecimalWideText(std::int32_t value) {
    return Decimal<wchar_t>(value);
}

}  // namespace qm
