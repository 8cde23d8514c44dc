#include "rules/location_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/testing/dbcs_code_page.h"
#include "rules/parsed_url.h"

namespace qm {
namespace {

// Matching compares host labels found without ParsedUrl's copies; they must
// be ParsedUrl's own, whichever separator wins.
void ExpectLabelsOfParsedUrl(const std::vector<std::string>& addresses) {
    for (const std::string& address : addresses) {
        ParsedUrl url;
        url.Parse(address);
        HostLabels labels = FindHostLabels(address);
        EXPECT_EQ(labels.domain, url.domain) << "[" << address << "]";
        EXPECT_EQ(labels.tld, url.tld) << "[" << address << "]";
    }
}

const std::vector<std::string> kAddresses = {
    "",
    "P://S.D.T:N/A/F?Q#H",
    "P://D.T",
    "S.D.T/A",
    "P://A.B.D.T",
    "P://H/",
    "P://1.2.3.4/X",
    "P://D.T.",
    "P://U:W@D.T",
    "P://U:W:X@D.T",
    "P://U@V@D.T",
    "P://D.T/X@Y.Z",
    "P://D.T#H.I?Q",
    "P://D.T?Q.R/S",
    "S.D.T/X?U=P://A.B",
    "A:B",
    "A:B@D.T",
    "P://A.B:C.D:80",
    "P://U.V@A.B:1.2",
    " \t\r\nP://S.D.T:N/A \n\v\f",
    "://D.T",
    "P:/D.T/X",
    ".",
    "..",
    "@",
    ":",
    "P://",
};

TEST(FindHostLabels, AgreesWithParsedUrl) {
    ExpectLabelsOfParsedUrl(kAddresses);
}

TEST(FindHostLabels, AgreesWithParsedUrlInADoubleByteCodePage) {
    std::vector<std::string> addresses = kAddresses;
    addresses.insert(addresses.end(), {
                                          "P://W\x81.D.T",
                                          "P://A.\x81/.D.T/X",
                                          "P:\x81://D.T/X://E.F",
                                          "P://U\x81@V@D.T",
                                          "P://D.T\x81:80",
                                          "P://D.T:\x81",
                                          "P://D.\x81",
                                          "P://D.T/\x81",
                                          "\x81 ",
                                          "P://D\xE0#.T",
                                      });
    testing::DbcsCodePage dbcs;
    ScopedCodePage scope(dbcs);
    ExpectLabelsOfParsedUrl(addresses);
}

}  // namespace
}  // namespace qm
