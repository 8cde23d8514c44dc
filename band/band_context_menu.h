#pragma once
// The items the band adds to the browser's context menu, and what each
// command offset does. Commands are numbered by their offset from the first
// identifier the browser gives.

#include <cstdint>
#include <optional>
#include <vector>

#include "band/popup_columns.h"

namespace qm::band {

// Identifiers the band reports as used, whatever it added.
constexpr unsigned kBandMenuIdsUsed = 11;

struct BandMenuSituation {
    bool defaultOnly;        // the browser asks for the default item alone
    bool popupPageSelected;  // the "Popup Windows" page is the selected page
    bool maximised;
    bool pointerInList;                 // inside the list's client area, edges included
    bool pointerOnRow;                  // a row lies under the pointer
    std::optional<PopupListView> view;  // the list's current view, if it has one of the four
    unsigned maxOffset;                 // the browser's last identifier less its first
};

struct BandMenuItem {
    bool separator;
    unsigned offset;    // 0 for a separator
    unsigned stringId;  // the menu text; 0 for a separator
    bool checked;
    friend bool operator==(const BandMenuItem& a, const BandMenuItem& b) {
        return a.separator == b.separator && a.offset == b.offset && a.stringId == b.stringId &&
               a.checked == b.checked;
    }
};

struct BandMenuPlan {
    std::vector<BandMenuItem> items;  // in the order they are inserted
    unsigned idsUsed;                 // what QueryContextMenu reports
};

BandMenuPlan PlanBandMenu(const BandMenuSituation& situation);

enum class BandCommandKind { SetView, ClearLog, AddToWhiteList, AddToBlackList, About, Nothing };

struct BandCommand {
    BandCommandKind kind;
    PopupListView view;  // for SetView
};

// The command of an offset; none for an offset the band does not know
// (the caller answers E_INVALIDARG).
std::optional<BandCommand> CommandAtOffset(std::uintptr_t offset);
// The menu text of a command, for the browser's status line; none when the
// offset names no item.
std::optional<unsigned> CommandTextId(std::uintptr_t offset);

}  // namespace qm::band
