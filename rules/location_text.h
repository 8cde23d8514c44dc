#pragma once
// The text operations of rule matching. They work on views into the caller's
// strings, so matching a popup against many rules allocates nothing. Like
// every text helper they are character-aware in the ANSI code page.

#include <string_view>

namespace qm {

// `text` without its trailing spaces, "/" and backslashes.
std::string_view TrimLocation(std::string_view text);

// `text` without leading whitespace, then as TrimLocation.
std::string_view TrimAddress(std::string_view text);

// The last two labels of an address's host: the same texts as `domain` and
// `tld` of a ParsedUrl of `address`, as views into `address`.
struct HostLabels {
    std::string_view domain;
    std::string_view tld;
};
HostLabels FindHostLabels(std::string_view address);

// Whether the last character of `text` is a lead byte without its trail byte.
bool EndsInLoneLeadByte(std::string_view text);

// Whether `address` begins with the characters of `location`. A location
// ending in a lone lead byte cannot be followed by the trail byte that the
// address puts there, so it begins only an address of its own length.
bool BeginsWith(std::string_view address, std::string_view location,
                bool locationEndsInLoneLeadByte);

}  // namespace qm
