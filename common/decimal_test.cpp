#include "common/decimal.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

namespace qm {
namespace {

std::string Printed(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    return text;
}

TEST(Decimal, PrintsAsTheCLibraryDoes) {
    const std::int32_t values[] = {
        0,           1,           -1,      9,           10,        -10,        99,
        100,         -100,        12345,   -12345,      999999999, 1000000000, -999999999,
        -1000000000, INT_MAX - 1, INT_MAX, INT_MIN + 1, INT_MIN,
    };
    for (std::int32_t value : values) {
        const std::string expected = Printed(value);
        EXPECT_EQ(DecimalText(value), expected) << value;
        EXPECT_EQ(DecimalWideText(value), std::wstring(expected.begin(), expected.end())) << value;
    }
}

TEST(Decimal, AgreesAcrossEveryNumberOfDigits) {
    // Each power of ten and its neighbours, both signs.
    for (std::int64_t power = 1; power <= INT_MAX; power *= 10) {
        for (std::int64_t value : {power - 1, power, power + 1, -power + 1, -power, -power - 1}) {
            if (value < INT_MIN || value > INT_MAX) continue;
            const auto v = static_cast<std::int32_t>(value);
            EXPECT_EQ(DecimalText(v), Printed(v)) << value;
        }
    }
}

}  // namespace
}  // namespace qm
