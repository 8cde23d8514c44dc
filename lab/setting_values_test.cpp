#include "lab/setting_values.h"

#include <gtest/gtest.h>

namespace qm::lab {
namespace {

using Written = std::vector<std::pair<std::string, std::int32_t>>;

// Values for the first names; the rest of the twelve absent.
SettingValues Values(std::initializer_list<std::optional<std::int32_t>> first) {
    SettingValues values(first);
    values.resize(kBandSettingCount);
    return values;
}

TEST(SettingValues, OnlyValuesThatChangedOrAppearedAreWritten) {
    struct Case {
        const char* label;
        SettingValues before;
        SettingValues after;
        Written written;
    };
    const Case cases[] = {
        {"nothing changed", Values({2, 1}), Values({2, 1}), {}},
        {"one changed", Values({2, 1}), Values({0, 1}), {{"GuardLevel", 0}}},
        {"a key made with every value",
         Values({}),
         Values({2, 1, 0, 1, 1, 1, 1, 1, 1, 1, 10, 0}),
         {{"GuardLevel", 2},
          {"LoadBare", 1},
          {"CompleteBlock", 0},
          {"ClearOnUnload", 1},
          {"BandVisibility", 1},
          {"PopupListView", 1},
          {"AllowFlashScripts", 1},
          {"FlashAlert", 1},
          {"LogStopped", 1},
          {"LogRecorded", 1},
          {"MaxLogSize", 10},
          {"LogFullAction", 0}}},
        {"a value removed is no write", Values({2, 1}), Values({std::nullopt, 1}), {}},
        {"negative numbers and the last name",
         Values({2, 1, 0, 1, 1, 1, 1, 1, 1, 1, 10, 0}),
         Values({2, 1, 0, 1, 1, 1, 1, 1, 1, 1, -1, 2}),
         {{"MaxLogSize", -1}, {"LogFullAction", 2}}},
        {"a short first look counts as absent",
         SettingValues{},
         Values({std::nullopt, 0}),
         {{"LoadBare", 0}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WrittenSettings(c.before, c.after), c.written) << c.label;
    }
}

}  // namespace
}  // namespace qm::lab
