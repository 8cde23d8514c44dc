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

std::vector<ControlEntry> ControlEntries(HWND parent) {
    std::vector<ControlEntry> entries;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child)) continue;
        ControlEntry entry{ControlEntry::Kind::Text, WindowText(child)};
        entry.grayed = !IsWindowEnabled(child);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (IsClass(child, "Edit")) {
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
