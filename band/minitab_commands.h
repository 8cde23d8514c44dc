#pragma once
// What the minitab's tabs and buttons do, apart from the windows they touch.

#include <cstdint>
#include <string>
#include <string_view>

namespace qm::band {

struct TabClick {
    bool changeSize;  // the band is minimised or maximised first (and that is saved)
    bool maximiseTo;  // the new maximised flag when changeSize
};

// A click on a tab: another page of the maximised band is just selected;
// the selected tab minimises the band and any tab of the minimised band
// maximises it. The page is selected in every case.
TabClick OnTabClick(bool maximised, bool tabIsSelected);

// The quick on/off button switches between full protection (2) and record
// only (1); from "No Protection" it goes to full protection.
std::int32_t NextQuickLevel(std::int32_t level);

// The help file beside our DLL: its folder (up to the last backslash) and
// "\qmhelp.chm"; a name without a backslash gives "\qmhelp.chm" alone.
std::string HelpFilePath(std::string_view moduleFileName);

}  // namespace qm::band
