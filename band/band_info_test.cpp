#include <gtest/gtest.h>

#include <string>

#include "band/band_info.h"
#include "band/visibility_check.h"

namespace qm {
namespace {

TEST(BandInfo, AnswersForBothVisibilities) {
    struct Case {
        bool expanded;
        BandPoint min, max, actual;
        std::string title;
        std::uint32_t modes;
    };
    const Case cases[] = {
        {true, {104, 104}, {-1, -1}, {100, 104}, "quellmark", 0x68},
        {false, {104, 18}, {-1, 18}, {100, 18}, "", 0x61},
    };
    for (const Case& c : cases) {
        BandInfoAnswer a = AnswerBandInfo(0x7F, c.expanded);
        EXPECT_EQ(a.mask, 0x3Fu) << c.expanded;
        EXPECT_EQ(a.minSize.x, c.min.x);
        EXPECT_EQ(a.minSize.y, c.min.y) << c.expanded;
        EXPECT_EQ(a.maxSize.x, c.max.x);
        EXPECT_EQ(a.maxSize.y, c.max.y) << c.expanded;
        EXPECT_EQ(a.integral.x, 1);
        EXPECT_EQ(a.integral.y, 1);
        EXPECT_EQ(a.actual.x, c.actual.x);
        EXPECT_EQ(a.actual.y, c.actual.y) << c.expanded;
        EXPECT_EQ(a.title, c.title);
        EXPECT_EQ(a.modeFlags, c.modes);
    }
    EXPECT_EQ(AnswerBandInfo(0x40, true).mask, 0u);
    EXPECT_EQ(AnswerBandInfo(0x11, true).mask, 0x11u);
}

TEST(VisibilityCheck, SmallWindowsCloseTheBarOrdinaryOnesBringItBack) {
    struct Case {
        const char* label;
        VisibilityInput in;
        bool big, hide, show, collapse;
        std::int32_t newHeight;
    };
    const Case cases[] = {
        {"640 x 280 hides", {280, 640, true, true, false}, false, true, false, false, 0},
        {"narrow hides", {600, 479, true, true, false}, false, true, false, false, 0},
        {"visible band in a big window is left alone",
         {600, 800, true, true, false},
         true,
         false,
         false,
         false,
         0},
        {"800 x 510 hidden grows by 22",
         {510, 800, false, false, false},
         true,
         false,
         true,
         false,
         532},
        {"grown once only", {510, 800, false, false, true}, true, false, true, false, 0},
        {"800 x 450 expanded collapses",
         {450, 800, false, true, false},
         true,
         false,
         true,
         true,
         0},
        {"800 x 450 collapsed grows",
         {450, 800, false, false, false},
         true,
         false,
         true,
         false,
         472},
        {"522 is tall enough", {522, 800, false, true, false}, true, false, true, false, 0},
        {"500 expanded grows rather than collapses",
         {500, 800, false, true, false},
         true,
         false,
         true,
         false,
         522},
        {"exactly 480 x 300 is big enough",
         {300, 480, false, false, false},
         true,
         false,
         true,
         false,
         322},
    };
    for (const Case& c : cases) {
        VisibilityAction a = CheckVisibility(c.in);
        EXPECT_EQ(a.bigEnough, c.big) << c.label;
        EXPECT_EQ(a.hideBar, c.hide) << c.label;
        EXPECT_EQ(a.showBar, c.show) << c.label;
        EXPECT_EQ(a.collapse, c.collapse) << c.label;
        EXPECT_EQ(a.newHeight, c.newHeight) << c.label;
    }
}

}  // namespace
}  // namespace qm
