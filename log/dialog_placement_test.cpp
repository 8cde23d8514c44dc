#include "log/dialog_placement.h"

#include <gtest/gtest.h>

#include "common/testing/geometry_printers.h"

namespace qm {
namespace {

using band::Rect;

TEST(CentreOverOwner, CentresAndStaysInsideTheWorkArea) {
    const Rect work{0, 0, 1024, 738};
    struct Case {
        const char* label;
        Rect dialog;
        Rect owner;
        Rect expected;
    } cases[] = {
        {"centred", {0, 0, 200, 100}, {100, 100, 601, 400}, {250, 200, 450, 300}},
        {"moved back from the right and bottom",
         {0, 0, 200, 100},
         {900, 650, 1100, 800},
         {824, 638, 1024, 738}},
        {"moved back from the left and top",
         {500, 500, 700, 600},
         {-300, -200, 100, 100},
         {0, 0, 200, 100}},
        {"larger than the work area", {0, 0, 1200, 800}, {0, 0, 1024, 738}, {0, 0, 1200, 800}},
        {"no owner", {0, 0, 200, 100}, {}, {412, 319, 612, 419}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentreOverOwner(c.dialog, c.owner, work), c.expected) << c.label;
    }
    EXPECT_EQ(CentreOverOwner({0, 0, 100, 50}, {0, 0, 300, 300}, {40, 30, 800, 600}),
              (Rect{100, 125, 200, 175}))
        << "a work area beside a docked bar";
    EXPECT_EQ(CentreOverOwner({0, 0, 100, 50}, {0, 0, 100, 100}, {40, 30, 800, 600}),
              (Rect{40, 30, 140, 80}));
}

}  // namespace
}  // namespace qm
