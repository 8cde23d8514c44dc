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

BandSample List(std::vector<std::pair<std::string, std::string>> rows) {
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
        {100, false, "session statistics: 1 stopped popups", {"flash"}},
        {150, true, "session statistics: 1 stopped popups", {}},
        {250, false, "session statistics: 1 stopped popups", {}},  // the same blinking
        {1100, false, "session statistics: 1 stopped popups", {}},
        {1200,
         true,
         "session statistics: 2 stopped popups",
         {"status \"session statistics: 2 stopped popups\""}},
        {2400, false, "session statistics: 2 stopped popups", {"flash"}},  // a new one
        {2450, true, "", {"status \"\""}},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(watch.observe(Caption(step.visible, step.text), step.ms), step.lines)
            << "at " << step.ms << " ms";
    }
}

TEST(BandWatch, NewRowsAreRecordsOldestFirstAndAnEmptyListIsCleared) {
    BandWatch watch;
    EXPECT_TRUE(watch.observe(List({}), 0).empty());
    EXPECT_EQ(watch.observe(List({{"Offer", "http://a/1"}}), 50),
              (std::vector<std::string>{"record \"Offer\" \"http://a/1\""}));
    EXPECT_EQ(
        watch.observe(
            List({{"Third", "http://a/3"}, {"Second", "http://a/2"}, {"Offer", "http://a/1"}}),
            100),
        (std::vector<std::string>{"record \"Second\" \"http://a/2\"",
                                  "record \"Third\" \"http://a/3\""}));
    EXPECT_TRUE(
        watch
            .observe(
                List({{"Third", "http://a/3"}, {"Second", "http://a/2"}, {"Offer", "http://a/1"}}),
                150)
            .empty());
    EXPECT_EQ(watch.observe(List({}), 200), (std::vector<std::string>{"records cleared"}));
    // Samples that miss the list (the band closed) change nothing.
    EXPECT_TRUE(watch.observe(BandSample(), 250).empty());
}

}  // namespace
}  // namespace qm::lab
