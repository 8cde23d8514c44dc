#pragma once
// What each link of the About box opens: a mail to the maker, or one of the
// maker's web pages in a browser window of its own name.

#include <optional>
#include <string>

namespace qm::band {

enum class AboutLinkKind { Mail, Web };

struct AboutLink {
    AboutLinkKind kind;
    std::string address;     // "mailto:..." for mail, the page's address for the web
    std::string windowName;  // web links only
};

// The link behind the About box's result (the id of the chosen link); none
// for "OK" or closing.
std::optional<AboutLink> AboutLinkFor(int result);

// The maker's home page, which the logo opens too.
std::string HomePageAddress();

}  // namespace qm::band
