#include "rules/parsed_url.h"

#include "common/text.h"

namespace qm {

// Each step searches what the previous ones left, so their order decides
// which separator wins ("#" before "?" before "/" before "@" before ":").
void ParsedUrl::Parse(std::string_view address) {
    std::string_view rest = Trim(address);

    std::size_t at = FindFirst(rest, "://");
    if (at != kNotFound) {
        protocol = rest.substr(0, at);
        rest = rest.substr(at + 3);
    }
    if ((at = FindFirst(rest, '#')) != kNotFound) {
        hash = rest.substr(at + 1);
        rest = rest.substr(0, at);
    }
    if ((at = FindFirst(rest, '?')) != kNotFound) {
        query = rest.substr(at + 1);
        rest = rest.substr(0, at);
    }
    if ((at = FindFirst(rest, '/')) != kNotFound) {
        path = rest.substr(at);
        rest = rest.substr(0, at);
    }
    if ((at = FindFirst(rest, '@')) != kNotFound) {
        std::string_view user = rest.substr(0, at);
        rest = rest.substr(at + 1);
        std::size_t colon = FindFirst(user, ':');
        username = user.substr(0, colon);
        if (colon != kNotFound) password = user.substr(colon + 1);
    }
    if ((at = FindLast(rest, ':')) != kNotFound) {
        port = rest.substr(at + 1);
        rest = rest.substr(0, at);
    }
    if ((at = FindLast(rest, '.')) == kNotFound) {
        domain = rest;
    } else {
        tld = rest.substr(at + 1);
        rest = rest.substr(0, at);
        if ((at = FindLast(rest, '.')) != kNotFound) {
            domain = rest.substr(at + 1);
            server = rest.substr(0, at);
        } else {
            domain = rest;
        }
    }
    if (!path.empty()) file = path.substr(FindLast(path, '/') + 1);
}

}  // namespace qm
