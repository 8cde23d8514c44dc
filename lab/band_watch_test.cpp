#include "lab/band_watch.h"

#include <gtest/gtest.h>

namespace qm::lab {
namespace {

BandSample Caption(bool visible, const std::string& text) {
    BandSample sample;
    sample.captionFound = true;
    sample.captionVisible = visible;
    sample.captionText = text;
    return sample;
}

BandSample List(std::vector<std::vector<std::string>> rows) {
    BandSample sample;
    sample.listFound = true;
    sample.rows = std::move(rows);
    return sample;
}

TEST(BandWatch, StatusTextAndBlinkingAsTheUserSeesThem) {
    BandWatch watch;
    struct Step {
        unsigned long ms;
        bool visible;
        const char* text;
        std::vector<std::string> lines;
    };
    const Step steps[] = {
        {0, true, "", {}},  // an empty caption at first says nothing
        {50,
         true,
         "session statistics: 1 stopped popups",
         {"status \"session statistics: 1 stopped popups\""}},
        {100, false, "session statistics: 1 stopped popups", {"flash", "caption hidden after=100"}},
        {150, true, "session statistics: 1 stopped popups", {"caption shown after=50"}},
        // the same blinking: every step told, one flash
        {250, false, "session statistics: 1 stopped popups", {"caption hidden after=100"}},
        {1100, false, "session statistics: 1 stopped popups", {}},
        {1200,
         true,
         "session statistics: 2 stopped popups",
         {"status \"session statistics: 2 stopped popups\"", "caption shown after=950"}},
        {2400,
         false,
         "session statistics: 2 stopped popups",
         {"flash", "caption hidden after=1200"}},  // a new one
        {2450, true, "", {"status \"\"", "caption shown after=50"}},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(watch.observe(Caption(step.visible, step.text), step.ms), step.lines)
            << "at " << step.ms << " ms";
    }
}

// The caption hidden and shown between two samples is told step by step
// when the band hides or shows it; the sample after it, agreeing, adds
// nothing. A caption the layout hides is no blink.
TEST(BandWatch, EachHideAndShowIsToldAndTheLayoutsAreNoBlink) {
    BandWatch watch;
    EXPECT_TRUE(watch.observe(Caption(true, "session statistics: 1 stopped popups"), 0).size() ==
                1u);
    struct Step {
        unsigned long ms;
        bool visible;
        bool sampled;
        bool byLayout;
        std::vector<std::string> lines;
    };
    const Step steps[] = {
        {10, false, false, false, {"flash", "caption hidden after=10"}},
        {20, true, false, false, {"caption shown after=10"}},
        {30, false, false, false, {"caption hidden after=10"}},
        {40, true, false, false, {"caption shown after=10"}},
        {50, true, true, false, {}},
        {1500, false, false, true, {"caption hidden by=layout after=1460"}},
        {1550, false, true, false, {}},
        {1600, true, false, true, {"caption shown by=layout after=100"}},
        // a blink within a second of a layout's hiding still begins a flash
        {1700, false, false, false, {"flash", "caption hidden after=100"}},
        {1700, false, false, false, {}},  // told again, unchanged
    };
    for (const Step& step : steps) {
        std::vector<std::string> lines =
            step.sampled
                ? watch.observe(Caption(step.visible, "session statistics: 1 stopped popups"),
                                step.ms)
                : watch.captionShown(step.visible, step.ms, step.byLayout);
        EXPECT_EQ(lines, step.lines) << "at " << step.ms << " ms";
    }
}

// A button's hint in the caption is told apart from the status: when it
// comes and when it goes, and how long after it was last set.
TEST(BandWatch, HintsComeAndGoBesideTheStatus) {
    BandWatch watch;
    watch.setHints({"Exit Quellmark.", "Minimize / Maximize the Quellmark dialog.", ""});
    EXPECT_TRUE(watch.observe(Caption(true, ""), 0).empty());
    struct Step {
        unsigned long ms;
        const char* text;
        std::vector<std::string> lines;
    };
    const Step steps[] = {
        {0, "", {}},
        {100, "Exit Quellmark.", {"hint shown \"Exit Quellmark.\""}},
        {900, "Exit Quellmark.", {}},  // the pointer moved again: set again
        {2900, "", {"hint gone \"Exit Quellmark.\" after=2000", "status \"\""}},
        {3000,
         "session statistics: 1 stopped popups",
         {"status \"session statistics: 1 stopped popups\""}},
        {3100, "Exit Quellmark.", {"hint shown \"Exit Quellmark.\""}},
        {3150,
         "Minimize / Maximize the Quellmark dialog.",
         {"hint gone \"Exit Quellmark.\" after=50",
          "hint shown \"Minimize / Maximize the Quellmark dialog.\""}},
        {3160,
         "session statistics: 1 stopped popups",
         {"hint gone \"Minimize / Maximize the Quellmark dialog.\" after=10",
          "status \"session statistics: 1 stopped popups\""}},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(watch.captionSet(step.text, step.ms), step.lines) << "at " << step.ms << " ms";
    }
}

TEST(BandWatch, NewRowsAreRecordsOldestFirstWithEveryColumnAndAnEmptyListIsCleared) {
    BandWatch watch;
    const std::vector<std::string> offer = {"Offer", "http://a/1", "300x250", "10,20", "toolbar"};
    const std::vector<std::string> second = {"Second", "http://a/2", "", "", ""};
    const std::vector<std::string> third = {"Third", "http://a/3", "1x1", "0,0",
                                            std::string(600, 'x')};
    EXPECT_TRUE(watch.observe(List({}), 0).empty());
    EXPECT_EQ(watch.observe(List({offer}), 50),
              (std::vector<std::string>{
                  "record \"Offer\" \"http://a/1\"",
                  "row \"Offer\" \"http://a/1\" \"300x250\" \"10,20\" \"toolbar\""}));
    EXPECT_EQ(
        watch.observe(List({third, second, offer}), 100),
        (std::vector<std::string>{
            "record \"Second\" \"http://a/2\"", "row \"Second\" \"http://a/2\" \"\" \"\" \"\"",
            "record \"Third\" \"http://a/3\"",
            "row \"Third\" \"http://a/3\" \"1x1\" \"0,0\" \"" + std::string(600, 'x') + "\""}));
    EXPECT_TRUE(watch.observe(List({third, second, offer}), 150).empty());
    EXPECT_EQ(watch.observe(List({}), 200), (std::vector<std::string>{"records cleared"}));
    // Samples that miss the list (the band closed) change nothing.
    EXPECT_TRUE(watch.observe(BandSample(), 250).empty());
}

TEST(BandWatch, EachCaptionTextSetIsToldEvenWhenNoSampleSawIt) {
    BandWatch watch;
    struct Step {
        const char* text;
        bool sampled;  // a sample (not the band's setting) shows this text
        std::vector<std::string> lines;
    };
    const Step steps[] = {
        {"", true, {}},
        {"Loading...", false, {"status \"Loading...\""}},
        {"Loading...", false, {}},  // set again, unchanged
        {"stopped", false, {"status \"stopped\""}},
        {"stopped", true, {}},  // the sample after it agrees
        {"", false, {"status \"\""}},
    };
    for (const Step& step : steps) {
        std::vector<std::string> lines =
            step.sampled ? watch.observe(Caption(true, step.text), 0) : watch.captionSet(step.text);
        EXPECT_EQ(lines, step.lines) << step.text;
    }
}

}  // namespace
}  // namespace qm::lab
