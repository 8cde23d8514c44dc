#pragma once
// Text helpers for ANSI byte strings. Every search is character-aware: in a
// double-byte code page a lead byte and its trail byte are one character, and
// a match never starts on a trail byte.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm {

constexpr std::size_t kNotFound = std::string_view::npos;

std::size_t FindFirst(std::string_view text, std::string_view what, std::size_t from = 0);
std::size_t FindFirst(std::string_view text, char what, std::size_t from = 0);
std::size_t FindLast(std::string_view text, std::string_view what);
std::size_t FindLast(std::string_view text, char what);

// Removes leading / trailing space, tab, LF, VT, FF and CR.
std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
std::string_view Trim(std::string_view text);

// Through the system code page.
std::wstring ToWide(std::string_view ansi);
std::string ToAnsi(std::wstring_view wide);

}  // namespace qm

namespace qm {

// Each ESC, CR, LF or zero byte of `text` as a space, even where it follows
// a lead byte, so the text cannot break or forge a record of our files.
std::string BlankRecordBreakers(std::string_view text);

// The decimal number at the start of `text` as the C library reads it:
// leading blanks, one sign, digits up to the first other character; empty
// or no digits gives 0, and values beyond 32 bits stop at the nearest limit.
std::int32_t ParseDecimal(std::string_view text);

}  // namespace qm
