#include "common/testing/memory_file_system.h"

#include <gtest/gtest.h>

namespace qm::testing {
namespace {

// The fake must refuse what Windows refuses, or tests of the log's sharing
// rules would pass for the wrong reason.
TEST(MemoryFileSystem, FollowsTheSystemsSharingRules) {
    struct Case {
        const char* label;
        FileAccess heldAccess;
        unsigned heldShare;
        FileAccess access;
        unsigned share;
        bool opens;
    };
    const Case cases[] = {
        {"exclusive reader blocks a writer", FileAccess::Read, kShareNone, FileAccess::Write,
         kShareWrite, false},
        {"exclusive reader blocks a reader", FileAccess::Read, kShareNone, FileAccess::Read,
         kShareRead, false},
        {"shared readers", FileAccess::Read, kShareRead, FileAccess::Read, kShareRead, true},
        {"shared writers", FileAccess::Write, kShareWrite, FileAccess::Write, kShareWrite, true},
        {"writer not sharing reads", FileAccess::Write, kShareWrite, FileAccess::Read,
         kShareRead | kShareWrite, false},
        {"new handle must share the held access", FileAccess::Read, kShareRead | kShareWrite,
         FileAccess::Write, kShareWrite, false},
    };
    for (const Case& c : cases) {
        MemoryFileSystem files;
        files.put("f", "data");
        auto held = files.open("f", c.heldAccess, c.heldShare, FileDisposition::OpenExisting);
        ASSERT_TRUE(held) << c.label;
        auto second = files.open("f", c.access, c.share, FileDisposition::OpenExisting);
        EXPECT_EQ(second != nullptr, c.opens) << c.label;
    }
}

TEST(MemoryFileSystem, OpenFilesCannotBeDeletedOrReplaced) {
    MemoryFileSystem files;
    files.put("a", "old");
    files.put("b", "new");
    {
        auto held = files.open("a", FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
        EXPECT_FALSE(files.remove("a"));
        EXPECT_FALSE(files.replace("b", "a"));
    }
    EXPECT_TRUE(files.replace("b", "a"));
    EXPECT_EQ(files.contents("a"), "new");
    EXPECT_FALSE(files.exists("b"));
}

TEST(MemoryFileSystem, DispositionsAndWrites) {
    MemoryFileSystem files;
    EXPECT_FALSE(files.open("x", FileAccess::Read, kShareRead, FileDisposition::OpenExisting));
    auto file = files.open("x", FileAccess::Write, kShareWrite, FileDisposition::OpenAlways);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->write("hello"));
    EXPECT_TRUE(file->seekToStart());
    EXPECT_TRUE(file->write("J"));
    file.reset();
    EXPECT_EQ(files.contents("x"), "Jello");
    file = files.open("x", FileAccess::Write, kShareWrite, FileDisposition::CreateAlways);
    file.reset();
    EXPECT_EQ(files.contents("x"), "");
    files.failWrite.insert("x");
    file = files.open("x", FileAccess::Write, kShareWrite, FileDisposition::OpenAlways);
    EXPECT_FALSE(file->write("abcd"));
    file.reset();
    EXPECT_EQ(files.contents("x"), "ab");
}

// The seams rules and log saves rely on: unique temporary names, a listing
// by pattern, a lock nobody else gets, a replace that never loses `to`.
TEST(MemoryFileSystem, TemporariesListingLocksAndReplace) {
    MemoryFileSystem files;
    const std::string first = files.createTemporary("C:\\d\\", "qmrules");
    const std::string second = files.createTemporary("C:\\d", "qmr");
    EXPECT_EQ(first, "C:\\d\\qmr0001.tmp");
    EXPECT_EQ(second, "C:\\d\\qmr0002.tmp");
    EXPECT_TRUE(files.exists(first));
    files.put("C:\\d\\qmr.dat", "rules");
    files.put("C:\\d\\sub\\qmr0009.tmp", "elsewhere");
    EXPECT_EQ(files.list("C:\\d\\qmr*.tmp"),
              (std::vector<std::string>{"qmr0001.tmp", "qmr0002.tmp"}));

    {
        auto lock = files.lock("C:\\d\\qmr.dat");
        ASSERT_TRUE(lock);
        EXPECT_FALSE(files.lock("C:\\d\\qmr.dat"));
        EXPECT_TRUE(files.lock("C:\\d\\qml.dat"));
    }
    EXPECT_TRUE(files.lock("C:\\d\\qmr.dat"));

    EXPECT_FALSE(files.replace("C:\\d\\gone.tmp", "C:\\d\\qmr.dat"));
    EXPECT_EQ(files.contents("C:\\d\\qmr.dat"), "rules");
    files.put(first, "new");
    EXPECT_TRUE(files.replace(first, "C:\\d\\qmr.dat"));
    EXPECT_EQ(files.contents("C:\\d\\qmr.dat"), "new");
    EXPECT_FALSE(files.exists(first));
}

}  // namespace
}  // namespace qm::testing
