#include "common/text.h"

#include <gtest/gtest.h>

#include "common/file_system.h"
#include "common/testing/dbcs_code_page.h"

namespace qm {
namespace {

// 0x82 0x2F is one double-byte character whose trail byte looks like "/".
const std::string kSlashTrail = "\x82/";

struct FindCase {
    const char* label;
    std::string text;
    std::string what;
    std::size_t first;
    std::size_t last;
};

TEST(TextSearch, DoubleByteTrailBytesNeverMatch) {
    testing::DbcsCodePage dbcs;
    ScopedCodePage scope(dbcs);
    const FindCase cases[] = {
        {"plain", "a/b/c", "/", 1, 3},
        {"only a trail byte", kSlashTrail + "x", "/", kNotFound, kNotFound},
        {"after a trail", kSlashTrail + "/", "/", 2, 2},
        {"trail then real", "a" + kSlashTrail + "b/", "/", 4, 4},
        {"separator of two", "x:/" + kSlashTrail + "://y", "://", 5, 5},
        {"lead byte at the end", "ab\x82", "\x82", 2, 2},
        {"empty pattern", "abc", "", kNotFound, kNotFound},
        {"pattern longer than text", "ab", "abc", kNotFound, kNotFound},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(FindFirst(c.text, c.what), c.first) << c.label;
        EXPECT_EQ(FindLast(c.text, c.what), c.last) << c.label;
    }
}

TEST(TextSearch, SingleByteCodePageSeesEveryByte) {
    // Latin-1 has no lead bytes: 0x82 is a character of its own.
    Latin1CodePage latin1;
    ScopedCodePage scope(latin1);
    EXPECT_EQ(FindFirst(kSlashTrail, '/'), 1u);
}

TEST(TextSearch, FindFirstFromSkipsEarlierMatches) {
    EXPECT_EQ(FindFirst("a.b.c", '.', 2), 3u);
    EXPECT_EQ(FindFirst("a.b.c", '.', 4), kNotFound);
}

TEST(TextTrim, RemovesTheSixBlanksOnBothEnds) {
    EXPECT_EQ(Trim(" \t\r\n\v\fa b\f\v\n\r\t "), "a b");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
}

TEST(TextTrim, KeepsADoubleByteCharacterWhoseTrailLooksBlank) {
    testing::DbcsCodePage dbcs;
    ScopedCodePage scope(dbcs);
    // A made-up trail byte 0x20 must not be trimmed away from its lead byte.
    EXPECT_EQ(TrimRight(std::string("a\x82 ")), std::string("a\x82 "));
    EXPECT_EQ(TrimRight(std::string("a\x82  ")), std::string("a\x82 "));
}

// Found by fuzzing a log line in a double-byte code page: a LF after a lead
// byte reached the file and split the line.
TEST(BlankRecordBreakers, BlanksEveryBreakerEvenAfterALeadByte) {
    testing::DbcsCodePage dbcs;
    ScopedCodePage scoped(dbcs);
    EXPECT_EQ(BlankRecordBreakers(std::string("a\x1B"
                                              "b\r\nc\0d",
                                              8)),
              "a b  c d");
    EXPECT_EQ(BlankRecordBreakers("\xE5\n\xF1\r\x81\x1B\x82\x40"), "\xE5 \xF1 \x81 \x82\x40");
}

TEST(TextConversion, RoundTripsThroughTheCodePage) {
    testing::DbcsCodePage dbcs;
    ScopedCodePage scope(dbcs);
    std::string ansi = "ab" + kSlashTrail + "c";
    std::wstring wide = ToWide(ansi);
    EXPECT_EQ(wide, (std::wstring{L'a', L'b', static_cast<wchar_t>(0x822F), L'c'}));
    EXPECT_EQ(ToAnsi(wide), ansi);
    EXPECT_EQ(ToAnsi(L"\x4E00"), "?");
}

TEST(Folders, CutAtTheLastBackslash) {
    EXPECT_EQ(FolderWithSlash("C:\\Program Files\\qm\\quellmark.dll"), "C:\\Program Files\\qm\\");
    EXPECT_EQ(FolderWithoutSlash("C:\\Program Files\\qm\\quellmark.dll"), "C:\\Program Files\\qm");
    EXPECT_EQ(FolderWithSlash("quellmark.dll"), "");
}

}  // namespace
}  // namespace qm
