#pragma once
// A forgiving splitter of web addresses: accepts any bytes, never fails,
// never changes case. Searches are character-aware in the ANSI code page.

#include <string>
#include <string_view>

namespace qm {

class ParsedUrl {
public:
    ParsedUrl() = default;
    virtual ~ParsedUrl() = default;

    // Fills the record from one address; use a fresh record per address.
    void Parse(std::string_view address);

    std::string protocol;
    std::string server;
    std::string domain;
    std::string tld;
    std::string port;
    std::string username;
    std::string password;
    std::string path;
    std::string query;
    std::string hash;
    std::string file;
};

}  // namespace qm
