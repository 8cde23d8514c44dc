#include "rules/location_text.h"

#include "common/code_page.h"
#include "common/text.h"

namespace qm {
namespace {

bool IsLocationEnd(char c) {
    return c == ' ' || c == '/' || c == '\\';
}

}  // namespace

std::string_view TrimLocation(std::string_view text) {
    // Walk forward so that a trail byte is never taken for a slash.
    const CodePage& cp = systemCodePage();
    std::size_t end = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        bool pair = cp.isLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size();
        std::size_t length = pair ? 2 : 1;
        if (pair || !IsLocationEnd(text[pos])) end = pos + length;
        pos += length;
    }
    return text.substr(0, end);
}

std::string_view TrimAddress(std::string_view text) {
    return TrimLocation(TrimLeft(text));
}

// The steps of ParsedUrl::Parse that lead to the host, without its copies.
HostLabels FindHostLabels(std::string_view address) {
    std::string_view rest = Trim(address);
    std::size_t at = FindFirst(rest, "://");
    if (at != kNotFound) rest = rest.substr(at + 3);
    for (char separator : {'#', '?', '/'}) {
        if ((at = FindFirst(rest, separator)) != kNotFound) rest = rest.substr(0, at);
    }
    if ((at = FindFirst(rest, '@')) != kNotFound) rest = rest.substr(at + 1);
    if ((at = FindLast(rest, ':')) != kNotFound) rest = rest.substr(0, at);

    HostLabels labels;
    if ((at = FindLast(rest, '.')) == kNotFound) {
        labels.domain = rest;
        return labels;
    }
    labels.tld = rest.substr(at + 1);
    rest = rest.substr(0, at);
    at = FindLast(rest, '.');
    labels.domain = at == kNotFound ? rest : rest.substr(at + 1);
    return labels;
}

bool EndsInLoneLeadByte(std::string_view text) {
    const CodePage& cp = systemCodePage();
    std::size_t pos = 0;
    while (pos + 1 < text.size())
        pos += cp.isLeadByte(static_cast<unsigned char>(text[pos])) ? 2 : 1;
    return pos + 1 == text.size() && cp.isLeadByte(static_cast<unsigned char>(text[pos]));
}

bool BeginsWith(std::string_view address, std::string_view location,
                bool locationEndsInLoneLeadByte) {
    if (address.size() < location.size()) return false;
    if (locationEndsInLoneLeadByte && address.size() != location.size()) return false;
    return address.compare(0, location.size(), location) == 0;
}

}  // namespace qm
