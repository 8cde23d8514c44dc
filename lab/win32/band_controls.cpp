#include "lab/win32/band_controls.h"

#include <commctrl.h>

namespace qm::lab {
namespace {

struct Search {
    const char* className;
    const std::string* text;  // null: any text
    std::vector<HWND> found;
};

BOOL CALLBACK Match(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (IsWindowVisible(window) && IsClass(window, search->className) &&
        (!search->text || WithoutMnemonics(WindowText(window)) == *search->text)) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::string ComboItem(HWND combo, LRESULT index) {
    LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string ComboSelection(HWND combo) {
    LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? std::string() : ComboItem(combo, index);
}

bool IsCheckStyle(LONG style) {
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return true;
    }
    return false;
}

}  // namespace

std::string WithoutMnemonics(const std::string& text) {
    std::string plain;
    for (char c : text) {
        if (c != '&') plain += c;
    }
    return plain;
}

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    int copied = GetWindowTextA(window, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

bool IsClass(HWND window, const char* className) {
    if (!className) return true;
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, className) == 0;
}

HWND FindShownControl(HWND top, const char* className, const std::string& text) {
    std::string plain = WithoutMnemonics(text);
    Search search = {className, &plain, {}};
    EnumChildWindows(top, &Match, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

std::vector<HWND> FindShownWindows(HWND top, const char* className) {
    Search search = {className, nullptr, {}};
    EnumChildWindows(top, &Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsInGroup(HWND control, const std::string& group) {
    RECT inner;
    GetWindowRect(control, &inner);
    std::string wanted = WithoutMnemonics(group);
    for (HWND box = GetWindow(GetParent(control), GW_CHILD); box;
         box = GetWindow(box, GW_HWNDNEXT)) {
        if (box == control || !IsWindowVisible(box) || !IsClass(box, "Button") ||
            (GetWindowLongA(box, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
            continue;
        }
        std::string text = WithoutMnemonics(WindowText(box));
        bool named = text == wanted ||
                     (text.size() > wanted.size() && text.compare(0, wanted.size(), wanted) == 0 &&
                      text[wanted.size()] == ' ');
        RECT outer;
        GetWindowRect(box, &outer);
        if (named && inner.left >= outer.left && inner.right <= outer.right &&
            inner.top >= outer.top && inner.bottom <= outer.bottom) {
            return true;
        }
    }
    return false;
}

HWND FindShownControlIn(HWND top, const char* className, const std::string& text,
                        const std::string& group) {
    if (group.empty()) return FindShownControl(top, className, text);
    std::string plain = WithoutMnemonics(text);
    Search search = {className, &plain, {}};
    EnumChildWindows(top, &Match, reinterpret_cast<LPARAM>(&search));
    for (HWND found : search.found) {
        if (IsInGroup(found, group)) return found;
    }
    return nullptr;
}

std::vector<ControlEntry> ControlEntries(HWND parent) {
    std::vector<ControlEntry> entries;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        ControlEntry entry{ControlEntry::Kind::Text, WindowText(child)};
        entry.grayed = !IsWindowEnabled(child);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (IsClass(child, WC_LISTVIEWA)) {
            entry.kind = ControlEntry::Kind::List;
            entry.rows = ListRowEntries(child);
        } else if (IsClass(child, "Edit")) {
            entry.kind = ControlEntry::Kind::Edit;
        } else if (IsClass(child, "ComboBox")) {
            entry.kind = ControlEntry::Kind::Combo;
            entry.text = ComboSelection(child);
        } else if (IsClass(child, "Button") && IsCheckStyle(style)) {
            entry.kind = ControlEntry::Kind::Check;
            entry.checked = SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
        } else if (IsClass(child, "Button") && (style & BS_TYPEMASK) != BS_GROUPBOX) {
            entry.kind = ControlEntry::Kind::Button;
        } else if (entry.text.empty()) {
            continue;  // empty frames and pictures show no text
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string ListItemText(HWND list, int row, int column) {
    // The list copies at most the room it is given: grow until it fits.
    for (std::size_t room = 512;; room *= 2) {
        std::string text(room, '\0');
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = &text[0];
        item.cchTextMax = static_cast<int>(room);
        LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                      reinterpret_cast<LPARAM>(&item));
        if (length < 0) length = 0;
        if (static_cast<std::size_t>(length) + 1 < room || room >= (1u << 20)) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
    }
}

int ListColumnCount(HWND list, int atLeast) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    LRESULT count = header ? SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    return count > atLeast ? static_cast<int>(count) : atLeast;
}

std::vector<std::vector<std::string>> ListRows(HWND list) {
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    int columns = ListColumnCount(list);
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < count; ++row) {
        rows.emplace_back();
        for (int column = 0; column < columns; ++column) {
            rows.back().push_back(ListItemText(list, row, column));
        }
    }
    return rows;
}

std::vector<ListRowEntry> ListRowEntries(HWND list) {
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<ListRowEntry> rows;
    for (int row = 0; row < count; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_IMAGE | LVIF_STATE;
        item.iItem = row;
        item.stateMask = LVIS_SELECTED;
        item.iImage = -1;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ListRowEntry entry;
        entry.text = ListItemText(list, row, 0);
        entry.icon = item.iImage < 0 ? -1 : item.iImage;
        entry.selected = (item.state & LVIS_SELECTED) != 0;
        rows.push_back(std::move(entry));
    }
    return rows;
}

int FindListRow(HWND list, const std::string& text, int column) {
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    int columns = ListColumnCount(list);
    for (int row = 0; row < count; ++row) {
        for (int c = column < 0 ? 0 : column; c < (column < 0 ? columns : column + 1); ++c) {
            if (ListItemText(list, row, c) == text) return row;
        }
    }
    return -1;
}

bool ListPoint(HWND list, int row, POINT* at) {
    RECT client;
    GetClientRect(list, &client);
    if (row >= 0) {
        SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        RECT rect = {};
        rect.left = LVIR_LABEL;
        SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&rect));
        *at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        return true;
    }
    // Below the bottom of the last row shown, or near the top of an empty list.
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    int below = 4;
    if (count > 0) {
        RECT last = {};
        last.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(count - 1),
                     reinterpret_cast<LPARAM>(&last));
        below = last.bottom + 4;
    }
    if (below >= client.bottom - 1) return false;
    *at = {client.right / 4 > 2 ? client.right / 4 : 2, below};
    LVHITTESTINFO hit = {};
    hit.pt = *at;
    SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return (hit.flags & LVHT_ONITEM) == 0;
}

void ClickList(HWND list, POINT at) {
    LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageA(list, WM_LBUTTONUP, 0, where);
}

void TypeInto(HWND edit, const std::string& text) {
    HWND dialog = GetParent(edit);
    // The dialog manager moves the focus as a tab or a click would.
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    if (GetFocus() != edit) SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty()) SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void ClickButton(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}

bool PickComboItem(HWND combo, const std::string& text) {
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    std::string plain = WithoutMnemonics(text);
    for (LRESULT i = 0; i < count; ++i) {
        if (WithoutMnemonics(ComboItem(combo, i)) != plain) continue;
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        HWND parent = GetParent(combo);
        WPARAM id = static_cast<WPARAM>(GetDlgCtrlID(combo));
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(combo));
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(combo));
        return true;
    }
    return false;
}

}  // namespace qm::lab
