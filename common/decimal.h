#pragma once
// Decimal text of a 32-bit integer, as "%d" prints it. The C library's printf
// engine and std::to_wstring cost tens of kilobytes in the DLL, which prints
// nothing but whole numbers.

#include <cstdint>
#include <string>

namespace qm {

std::string DecimalText(std::int32_t value);
std::wstring DecimalWideText(std::int32_t value);

}  // namespace qm
