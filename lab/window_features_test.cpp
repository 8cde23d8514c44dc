#include "lab/window_features.h"

#include <gtest/gtest.h>

namespace qm::lab {
namespace {

using K = WindowRequest::Kind;

std::vector<WindowRequest> Bars(int toolbar, int menubar, int location, int status, int fullscreen,
                                int resizable) {
    return {{K::ToolBar, toolbar},  {K::MenuBar, menubar},       {K::AddressBar, location},
            {K::StatusBar, status}, {K::FullScreen, fullscreen}, {K::Resizable, resizable}};
}

std::vector<WindowRequest> Concat(std::vector<WindowRequest> a,
                                  const std::vector<WindowRequest>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(WindowFeatures, RequestsInTheOrderTheLabFiresThem) {
    struct Case {
        const char* features;
        std::vector<WindowRequest> expected;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"height=300,width=200,toolbar=no",
         Concat({{K::Width, 200}, {K::Height, 300}}, Bars(0, 0, 0, 0, 0, 0))},
        {"top=10, left=-4 ,TOOLBAR=YES,menubar,status=1,resizable=true",
         Concat({{K::Left, -4}, {K::Top, 10}}, Bars(1, 1, 0, 1, 0, 1))},
        {"width=300px,height=abc,location=yes,fullscreen=0",
         Concat({{K::Width, 300}}, Bars(0, 0, 1, 0, 0, 0))},
        {"scrollbars=yes,directories=yes,,", Bars(0, 0, 0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.features);
        EXPECT_EQ(RequestsFromFeatures(c.features), c.expected);
    }
}

TEST(WindowFeatures, NamesAndValues) {
    EXPECT_EQ(BarNamed("Location"), K::AddressBar);
    EXPECT_EQ(BarNamed("scrollbars"), std::nullopt);
    EXPECT_TRUE(FeatureValueIsOn(""));
    EXPECT_TRUE(FeatureValueIsOn(" Yes "));
    EXPECT_FALSE(FeatureValueIsOn("no"));
    EXPECT_FALSE(FeatureValueIsOn("2"));
}

}  // namespace
}  // namespace qm::lab
