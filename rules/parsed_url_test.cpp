#include "rules/parsed_url.h"

#include <gtest/gtest.h>

#include "common/testing/dbcs_code_page.h"

namespace qm {
namespace {

// Expected fields in declaration order.
struct Fields {
    std::string protocol, server, domain, tld, port, username, password, path, query, hash, file;
};

void ExpectFields(const std::string& address, const Fields& e) {
    ParsedUrl u;
    u.Parse(address);
    SCOPED_TRACE("address: [" + address + "]");
    EXPECT_EQ(u.protocol, e.protocol);
    EXPECT_EQ(u.server, e.server);
    EXPECT_EQ(u.domain, e.domain);
    EXPECT_EQ(u.tld, e.tld);
    EXPECT_EQ(u.port, e.port);
    EXPECT_EQ(u.username, e.username);
    EXPECT_EQ(u.password, e.password);
    EXPECT_EQ(u.path, e.path);
    EXPECT_EQ(u.query, e.query);
    EXPECT_EQ(u.hash, e.hash);
    EXPECT_EQ(u.file, e.file);
}

TEST(ParsedUrl, EdgeCaseTable) {
    struct Case {
        std::string address;
        Fields expected;
    };
    //  protocol, server, domain, tld, port, username, password, path, query, hash, file
    const Case cases[] = {
        {"", {}},
        {"P://S.D.T:N/A/F?Q#H", {"P", "S", "D", "T", "N", "", "", "/A/F", "Q", "H", "F"}},
        {"P://D.T", {"P", "", "D", "T"}},
        {"S.D.T/A", {"", "S", "D", "T", "", "", "", "/A", "", "", "A"}},
        {"P://A.B.D.T", {"P", "A.B", "D", "T"}},
        {"P://H/", {"P", "", "H", "", "", "", "", "/", "", "", ""}},
        {"P://1.2.3.4/X", {"P", "1.2", "3", "4", "", "", "", "/X", "", "", "X"}},
        {"P://D.T.", {"P", "D", "T", ""}},
        {"P://U:W@D.T", {"P", "", "D", "T", "", "U", "W"}},
        {"P://U@D.T", {"P", "", "D", "T", "", "U", ""}},
        {"P://U:W:X@D.T", {"P", "", "D", "T", "", "U", "W:X"}},
        {"P://D.T/X@Y", {"P", "", "D", "T", "", "", "", "/X@Y", "", "", "X@Y"}},
        {"P://D.T/X#H?Q", {"P", "", "D", "T", "", "", "", "/X", "", "H?Q", "X"}},
        {"P://D.T?Q/R", {"P", "", "D", "T", "", "", "", "", "Q/R"}},
        {"S.D.T/X?U=P://A.B", {"S.D.T/X?U=P", "", "A", "B"}},
        {"P://D.T/A/", {"P", "", "D", "T", "", "", "", "/A/", "", "", ""}},
        {"A:B", {"", "", "A", "", "B"}},
        {"A:B@D.T", {"", "", "D", "T", "", "A", "B"}},
        {" \t\r\nP://S.D.T:N/A/F?Q#H \n\r\v\f",
         {"P", "S", "D", "T", "N", "", "", "/A/F", "Q", "H", "F"}},
        {"HtTp://WWW.Example.COM/Dir/File.HTM",
         {"HtTp", "WWW", "Example", "COM", "", "", "", "/Dir/File.HTM", "", "", "File.HTM"}},
    };
    for (const Case& c : cases) ExpectFields(c.address, c.expected);
}

TEST(ParsedUrl, DoubleByteTrailBytesSplitNothing) {
    testing::DbcsCodePage dbcs;
    ScopedCodePage scope(dbcs);
    // Each \x82 or \x93 pair below is one character whose trail byte is a separator.
    struct Case {
        std::string address;
        Fields expected;
    };
    const Case cases[] = {
        {"http://a\x82/b.c/d", {"http", "", "a\x82/b", "c", "", "", "", "/d", "", "", "d"}},
        {"http://h\x82:x.c", {"http", "", "h\x82:x", "c"}},
        {"http://u\x82@v.c", {"http", "", "u\x82@v", "c"}},
        {"http://w.s\x82.t.c", {"http", "w", "s\x82.t", "c"}},
        {"http://d.c/p\x82?q", {"http", "", "d", "c", "", "", "", "/p\x82?q", "", "", "p\x82?q"}},
        {"http://d.c/\x82/x\x93/",
         {"http", "", "d", "c", "", "", "", "/\x82/x\x93/", "", "", "\x82/x\x93/"}},
        {"a\x82://b.c", {"", "", "a\x82:", "", "", "", "", "//b.c", "", "", "b.c"}},
    };
    for (const Case& c : cases) ExpectFields(c.address, c.expected);
}

}  // namespace
}  // namespace qm
