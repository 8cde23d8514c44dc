#include "lab/origin.h"

#include <cctype>
#include <string>

#include "rules/parsed_url.h"

namespace qm::lab {
namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool SameOrigin(std::string_view a, std::string_view b) {
    ParsedUrl first;
    first.Parse(a);
    ParsedUrl second;
    second.Parse(b);
    return EqualIgnoringCase(first.protocol, second.protocol) &&
           EqualIgnoringCase(first.server, second.server) &&
           EqualIgnoringCase(first.domain, second.domain) &&
           EqualIgnoringCase(first.tld, second.tld) && first.port == second.port;
}

}  // namespace qm::lab
