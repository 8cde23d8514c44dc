#include "rules/location_text.h"

#include <cstdint>
#include <cstring>

#include "common/code_page.h"
#include "common/text.h"

namespace qm {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// Only a byte from 0x80 up can lead a double-byte character in an ANSI code
// page. Rule locations are nearly always plain ASCII, and loading many rules
// must not ask the code page about every byte of them.
bool HasHighBytes(std::string_view text) {
    std::uint64_t any = 0;
    std::size_t pos = 0;
    for (; pos + 8 <= text.size(); pos += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + pos, 8);
        any |= word;
    }
    for (; pos < text.size(); ++pos) any |= static_cast<unsigned char>(text[pos]);
    return (any & 0x8080808080808080ULL) != 0;
}

// A character-aware walk over one text.
class Walk {
public:
    explicit Walk(std::string_view text)
        : text_(text), cp_(systemCodePage()), singleBytes_(!HasHighBytes(text)) {}

    // Length of the character that starts at `pos`: 2 for a lead byte with
    // its trail byte, else 1.
    std::size_t length(std::size_t pos) const {
        if (singleBytes_) return 1;
        auto byte = static_cast<unsigned char>(text_[pos]);
        return byte >= 0x80 && pos + 1 < text_.size() && cp_.isLeadByte(byte) ? 2 : 1;
    }
    bool isLeadByte(std::size_t pos) const {
        auto byte = static_cast<unsigned char>(text_[pos]);
        return !singleBytes_ && byte >= 0x80 && cp_.isLeadByte(byte);
    }
    bool singleBytes() const { return singleBytes_; }

    // The text without trailing single-byte characters for which `drop`
    // holds. Going forward, a trail byte is never taken for one of them.
    template <typename Drop>
    std::string_view trimRight(Drop drop) const {
        std::size_t end = 0;
        if (singleBytes_) {
            for (end = text_.size(); end > 0 && drop(text_[end - 1]);) --end;
            return text_.substr(0, end);
        }
        for (std::size_t pos = 0; pos < text_.size();) {
            std::size_t n = length(pos);
            if (n > 1 || !drop(text_[pos])) end = pos + n;
            pos += n;
        }
        return text_.substr(0, end);
    }

private:
    std::string_view text_;
    const CodePage& cp_;
    bool singleBytes_;
};

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsLocationEnd(char c) {
    return c == ' ' || c == '/' || c == '\\';
}

}  // namespace

std::string_view TrimLocation(std::string_view text) {
    return Walk(text).trimRight(IsLocationEnd);
}

std::string_view TrimAddress(std::string_view text) {
    return TrimLocation(TrimLeft(text));
}

// ParsedUrl cuts the address step by step: the protocol up to the first
// "://", then everything from the first "#", "?" or "/", then the user
// information up to the first "@", then the port from the last ":", and
// splits the host at its last two dots. One walk over the text notes the
// same positions without copying anything.
HostLabels FindHostLabels(std::string_view address) {
    const std::string_view text = Walk(TrimLeft(address)).trimRight(IsBlank);
    const Walk walk(text);
    const std::size_t size = text.size();

    std::size_t start = 0;
    for (std::size_t pos = 0; pos + 3 <= size; pos += walk.length(pos)) {
        if (text[pos] == ':' && text.compare(pos, 3, "://") == 0) {
            start = pos + 3;
            break;
        }
    }

    std::size_t hostStart = start, end = size;
    bool userInfo = false;
    std::size_t colon = kNone, lastDot = kNone, dotBeforeLast = kNone;
    std::size_t lastDotBeforeColon = kNone, dotBeforeLastBeforeColon = kNone;
    for (std::size_t pos = start, n = 0; pos < size; pos += n) {
        n = walk.length(pos);
        if (n > 1) continue;
        char c = text[pos];
        if (c == '#' || c == '?' || c == '/') {
            end = pos;
            break;
        }
        if (c == '@' && !userInfo) {
            userInfo = true;
            hostStart = pos + 1;
            colon = lastDot = dotBeforeLast = kNone;
        } else if (c == ':') {
            colon = pos;
            lastDotBeforeColon = lastDot;
            dotBeforeLastBeforeColon = dotBeforeLast;
        } else if (c == '.') {
            dotBeforeLast = lastDot;
            lastDot = pos;
        }
    }
    if (colon != kNone) {
        end = colon;
        lastDot = lastDotBeforeColon;
        dotBeforeLast = dotBeforeLastBeforeColon;
    }

    HostLabels labels;
    if (lastDot == kNone) {
        labels.domain = text.substr(hostStart, end - hostStart);
        labels.tld = text.substr(end, 0);
    } else {
        std::size_t domainStart = dotBeforeLast == kNone ? hostStart : dotBeforeLast + 1;
        labels.domain = text.substr(domainStart, lastDot - domainStart);
        labels.tld = text.substr(lastDot + 1, end - lastDot - 1);
    }
    return labels;
}

bool EndsInLoneLeadByte(std::string_view text) {
    const Walk walk(text);
    if (walk.singleBytes()) return false;
    std::size_t pos = 0;
    while (pos + 1 < text.size()) pos += walk.length(pos);
    return pos + 1 == text.size() && walk.isLeadByte(pos);
}

bool BeginsWith(std::string_view address, std::string_view location,
                bool locationEndsInLoneLeadByte) {
    if (address.size() < location.size()) return false;
    if (locationEndsInLoneLeadByte && address.size() != location.size()) return false;
    return address.compare(0, location.size(), location) == 0;
}

}  // namespace qm
