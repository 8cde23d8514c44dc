#include "common/file_system.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// Leftover temporary files are deleted by these names: a user's file that
// merely looks alike must never match.
TEST(IsTemporaryName, OnlyTheNamesOurTemporaryFilesGet) {
    struct Case {
        const char* name;
        bool ours;
    } cases[] = {
        {"qmr1.tmp", true},      {"qmr7a1f.tmp", true}, {"QMR7A1F.TMP", true}, {"qmr.tmp", true},
        {"qmr12345.tmp", false}, {"qmrxyz.tmp", false}, {"qmr 1.tmp", false},  {"qmr1.tmpx", false},
        {"qml1.tmp", false},     {"aqmr1.tmp", false},  {"qmr1.tm", false},    {"qmr1tmp", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsTemporaryName(c.name, "qmr"), c.ours) << c.name;
    EXPECT_TRUE(IsTemporaryName("qml0001.tmp", "qmlong"));  // three characters of the prefix
}

TEST(MatchesFileNamePattern, AsTheSystemMatchesNames) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"qmr1.tmp", "qmr*.tmp", true},
        {"qmr.tmp", "qmr*.tmp", true},
        {"QMR1.TMP", "qmr*.tmp", true},
        {"qmr1.tmpx", "qmr*.tmp", false},
        {"qmr.tmp.tmp", "qmr*.tmp", true},
        {"x.dat", "?.dat", true},
        {"xy.dat", "?.dat", false},
        {"anything", "*", true},
        {"", "*", true},
        {"a", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesFileNamePattern(c.name, c.pattern), c.matches)
            << c.name << " ~ " << c.pattern;
    }
}

}  // namespace
}  // namespace qm
