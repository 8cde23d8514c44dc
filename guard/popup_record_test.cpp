#include "guard/popup_record.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/testing/fake_clock.h"

namespace qm {
namespace {

const LocalTime kMay2002{2002, 5, 3, 17, 14, 30, 5, 250};

std::wstring Lines(std::initializer_list<const wchar_t*> lines) {
    std::wstring text;
    for (const wchar_t* line : lines) text += (text.empty() ? L"" : L"\r\n") + std::wstring(line);
    return text;
}

TEST(PopupRecord, NewRecordDescribesItselfAsStoppedAndUnknown) {
    PopupRecord record;
    EXPECT_EQ(record.Describe(),
              Lines({L"STOPPED!",          L"title: ",          L"url: ",
                     L"target name: ",     L"source title: ",   L"source url: ",
                     L"height: undefined", L"width: undefined", L"left: undefined",
                     L"top: undefined",    L"menubar: yes",     L"status: yes",
                     L"location: yes",     L"toolbar: yes",     L"fullscreen: no",
                     L"resizable: yes",    L"channelmode: no",  L"directories: yes",
                     L"scrollbars: yes",   L"titlebar: yes"}));
}

TEST(PopupRecord, FeatureStrings) {
    struct Case {
        const char* label;
        void (*setup)(PopupRecord&);
        const wchar_t* openFull;
        const wchar_t* textShort;
    };
    const Case cases[] = {
        {"new record", [](PopupRecord&) {},
         L"menubar=1,status=1,location=1,toolbar=1,fullscreen=0,resizable=1,channelmode=0,"
         L"directories=1,scrollbars=1,titlebar=1",
         L"-"},
        {"worked example",
         [](PopupRecord& r) {
             r.height = 300;
             r.width = 250;
             r.toolbar = 0;
             r.resizable = -1;
         },
         L"height=300,width=250,menubar=1,status=1,location=1,toolbar=0,fullscreen=0,resizable=1,"
         L"channelmode=0,directories=1,scrollbars=1,titlebar=1",
         L"toolbar=no,resizable=yes"},
        {"height 99 is absent, left 0 is present",
         [](PopupRecord& r) {
             r.height = 99;
             r.width = 100;
             r.left = 0;
             r.top = -5;
             r.fullscreen = -1;
         },
         L"width=100,left=0,menubar=1,status=1,location=1,toolbar=1,fullscreen=1,resizable=1,"
         L"channelmode=0,directories=1,scrollbars=1,titlebar=1",
         L"fullscreen=yes"},
        {"every bar reported false",
         [](PopupRecord& r) {
             r.menubar = r.status = r.location = r.toolbar = r.resizable = 0;
             r.directories = r.scrollbars = r.titlebar = 0;
         },
         L"menubar=0,status=0,location=0,toolbar=0,fullscreen=0,resizable=0,channelmode=0,"
         L"directories=0,scrollbars=0,titlebar=0",
         L"menubar=no,status=no,location=no,toolbar=no,resizable=no,directories=no,"
         L"scrollbars=no,titlebar=no"},
    };
    for (const Case& c : cases) {
        PopupRecord record;
        c.setup(record);
        EXPECT_EQ(record.OpenFeatures(true), c.openFull) << c.label;
        EXPECT_EQ(record.FeaturesText(false), c.textShort) << c.label;
    }
}

TEST(PopupRecord, ShortOpenFeaturesOfANewRecordIsADash) {
    PopupRecord record;
    EXPECT_EQ(record.OpenFeatures(false), L"-");
    record.status = 0;
    EXPECT_EQ(record.OpenFeatures(false), L"status=0");
}

TEST(PopupRecord, DescriptionOfARecordedWindow) {
    PopupRecord record;
    record.stopped = 0;
    record.title = L"Ads";
    record.height = 99;
    record.left = 0;
    record.top = 20;
    record.width = 640;
    std::wstring text = record.Describe();
    EXPECT_EQ(text.find(L"NOT STOPPED\r\n(this window was recorded, but allowed to open)\r\n"
                        L"title: Ads\r\n"),
              0u);
    EXPECT_NE(text.find(L"\r\nheight: undefined\r\nwidth: 640\r\nleft: 0\r\ntop: 20\r\n"),
              std::wstring::npos);
}

TEST(PopupRecord, CopyTakesTheTimeOfCopyingAssignmentKeepsTheOriginal) {
    testing::FakeClock clock(kMay2002);
    PopupRecord original;
    original.title = L"t";
    LocalTime later = kMay2002;
    later.second = 6;
    clock.set(later);

    PopupRecord copy(original);
    EXPECT_EQ(copy.title, L"t");
    EXPECT_EQ(copy.timeStamp, later);

    PopupRecord assigned;
    assigned = original;
    EXPECT_EQ(assigned.timeStamp, kMay2002);

    std::vector<PopupRecord> kept;
    kept.push_back(std::move(assigned));
    for (int i = 0; i < 20; ++i) kept.emplace_back();
    EXPECT_EQ(kept.front().timeStamp, kMay2002);
}

TEST(PopupRecord, EncodedBytesAreNeverSeparators) {
    for (int b = 0; b < 256; ++b) {
        PopupRecord::EncodedByte e = PopupRecord::EncodeByte(static_cast<unsigned char>(b));
        for (unsigned char c : {e.first, e.second}) {
            EXPECT_TRUE(c != 0 && c != 0x1B && c != '\r' && c != '\n') << b;
        }
        EXPECT_EQ(PopupRecord::DecodeByte(e.first, e.second), b);
    }
}

TEST(PopupRecord, LogLineLayoutWithTheYear2002) {
    testing::FakeClock clock(kMay2002);
    PopupRecord record;
    record.title = L"Win!";
    record.url = L"http://a.b/c";
    record.height = 300;
    std::string line = record.ToLogLine();

    const std::string texts = "\x1BWin!\x1Bhttp://a.b/c\x1B\x1B\x1B";
    const std::string geometry =
        "\x1B"
        "300\x1B-1\x1B-1\x1B-1\x1B";
    ASSERT_EQ(line.size(), 32 + texts.size() + geometry.size() + 4 + 2);
    // The year is the last field of the time stamp: 0x07D2.
    EXPECT_EQ(line.substr(28, 4), "\xD1\x21\x01\x71");
    // The day (17 = 0x11) comes first.
    EXPECT_EQ(line.substr(0, 4), "\x11\x11\x01\x01");
    EXPECT_EQ(line.substr(32, texts.size()), texts);
    EXPECT_EQ(line.substr(32 + texts.size(), geometry.size()), geometry);
    // A new record's flags: every bar but fullscreen and channelmode, and stopped: 0x79F.
    EXPECT_EQ(line.substr(line.size() - 6), "\x91\xF1\x01\x71\r\n");
}

TEST(PopupRecord, LogLineRoundTrip) {
    testing::FakeClock clock(kMay2002);
    PopupRecord written;
    written.title = L"Title";
    written.url = L"http://x.y/z?q=1";
    written.sourceTitle = L"Source";
    written.sourceUrl = L"http://s.t/";
    written.targetName = L"_blank";
    written.height = 99;
    written.width = 640;
    written.left = 0;
    written.top = -1;
    written.toolbar = 0;
    written.resizable = -1;
    written.fullscreen = -1;
    written.stopped = 0;

    clock.set(LocalTime{2020, 1, 2, 3, 4, 5, 6, 7});
    PopupRecord read;
    std::string line = written.ToLogLine();
    read.FromLogLine(line.substr(0, line.size() - 2));

    EXPECT_EQ(read.timeStamp, kMay2002);
    EXPECT_EQ(read.title, written.title);
    EXPECT_EQ(read.url, written.url);
    EXPECT_EQ(read.sourceTitle, written.sourceTitle);
    EXPECT_EQ(read.sourceUrl, written.sourceUrl);
    EXPECT_EQ(read.targetName, written.targetName);
    EXPECT_EQ(read.height, 99);
    EXPECT_EQ(read.width, 640);
    EXPECT_EQ(read.left, 0);
    EXPECT_EQ(read.top, -1);
    const std::int32_t PopupRecord::*flags[] = {
        &PopupRecord::menubar,     &PopupRecord::resizable,   &PopupRecord::status,
        &PopupRecord::location,    &PopupRecord::toolbar,     &PopupRecord::fullscreen,
        &PopupRecord::channelmode, &PopupRecord::directories, &PopupRecord::scrollbars,
        &PopupRecord::titlebar,    &PopupRecord::stopped};
    for (auto flag : flags) EXPECT_EQ(read.*flag != 0, written.*flag != 0);
    // The bit's value is kept, not 1.
    EXPECT_EQ(read.fullscreen, 0x020);
}

TEST(PopupRecord, PageTextsCannotBreakOrForgeALogLine) {
    PopupRecord record;
    record.title = std::wstring(
                       L"a\x1B"
                       L"b\rc\nd") +
                   L'\0' + L"e";
    record.url = L"u\r\n";
    std::string line = record.ToLogLine();
    EXPECT_NE(line.find("\x1B"
                        "a b c d e\x1Bu  \x1B"),
              std::string::npos);
    EXPECT_EQ(line.find_first_of("\r\n"), line.size() - 2);
}

TEST(PopupRecord, DamagedLinesReadBackWithDefaults) {
    struct Case {
        const char* label;
        std::string line;
        LocalTime time;
        std::int32_t stopped;
        std::wstring title;
        std::int32_t height;
    };
    const LocalTime k1978{1978, 1, 1, 1, 12, 0, 0, 0};
    PopupRecord good;
    good.title = L"T";
    good.height = 480;
    std::string goodLine = good.ToLogLine();
    goodLine.resize(goodLine.size() - 2);
    const LocalTime goodTime = good.timeStamp;
    const Case cases[] = {
        {"empty line", "", k1978, 0, L"", 0},
        {"time stamp cut short", goodLine.substr(3), k1978, 0x400, L"T", 480},
        {"flags cut short", goodLine.substr(0, goodLine.size() - 1), goodTime, 0, L"T", 480},
        {"only a few fields", "x\x1Bonly\x1B", k1978, 0, L"only", 0},
        {"number with blanks and sign", "\x1B\x1B\x1B\x1B\x1B\x1B  -12px\x1B\x1B\x1B\x1B", k1978, 0,
         L"", -12},
        {"ESC inside the title: flags are the last field",
         goodLine.substr(0, 33) + "\x1B" + goodLine.substr(33), goodTime, 0x400, L"", 0},
    };
    for (const Case& c : cases) {
        PopupRecord record;
        record.FromLogLine(c.line);
        EXPECT_EQ(record.timeStamp, c.time) << c.label;
        EXPECT_EQ(record.stopped, c.stopped) << c.label;
        EXPECT_EQ(record.title, c.title) << c.label;
        EXPECT_EQ(record.height, c.height) << c.label;
    }
}

}  // namespace
}  // namespace qm
