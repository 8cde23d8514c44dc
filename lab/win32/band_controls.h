#pragma once
// The band's windows as a user sees them: controls found by the text they
// show, their states read as trace entries, and the user's clicks on them.

#include <windows.h>

#include <string>
#include <vector>

#include "lab/trace_lines.h"

namespace qm::lab {

// Texts compared as a user reads them: '&' mnemonics do not count.
std::string WithoutMnemonics(const std::string& text);
std::string WindowText(HWND window);
bool IsClass(HWND window, const char* className);

// A visible control at any depth under `top` whose class is `className`
// and whose text reads `text`; null when there is none.
HWND FindShownControl(HWND top, const char* className, const std::string& text);
// Every visible window of class `className` at any depth under `top`.
std::vector<HWND> FindShownWindows(HWND top, const char* className);
// Whether `control` lies inside a shown group box (a sibling) whose text
// reads `group`, whole or as its beginning up to a blank: "Black List"
// names "Black List (Always Blocked)".
bool IsInGroup(HWND control, const std::string& group);
// FindShownControl among the controls of the group; an empty group: any.
HWND FindShownControlIn(HWND top, const char* className, const std::string& text,
                        const std::string& group);

// The visible controls among `parent`'s children, in their tab order.
std::vector<ControlEntry> ControlEntries(HWND parent);

// The text of a list view's cell, whole however long.
std::string ListItemText(HWND list, int row, int column);
// The columns of a list view (its header's), at least `atLeast`: a list
// not in report view may have no header yet.
int ListColumnCount(HWND list, int atLeast = 1);
// Every row of a list view, each with every column, top to bottom.
std::vector<std::vector<std::string>> ListRows(HWND list);
// Every row of a list view as the user sees it: first column, picture, selection.
std::vector<ListRowEntry> ListRowEntries(HWND list);
// The row whose `column` reads `text` (any column when -1); -1 when none.
int FindListRow(HWND list, const std::string& text, int column);
// Where a click on the row lands (the middle of its label), or, for row
// -1, the empty space below the last row; false when the list has none.
bool ListPoint(HWND list, int row, POINT* at);
// Posts a press and release of the left button at `at` of the list (the
// list may track the press itself, so the release waits in its queue);
// they happen when the caller next pumps messages.
void ClickList(HWND list, POINT at);
// The user gives the edit the keyboard focus, selects its text and types
// `text` over it, character by character.
void TypeInto(HWND edit, const std::string& text);

// A press and release of the left button on the button (BM_CLICK).
void ClickButton(HWND button);
// Picks the item that reads `text` in a drop-down list, as a user does
// (the parent hears CBN_SELCHANGE). False when no item reads so.
bool PickComboItem(HWND combo, const std::string& text);

}  // namespace qm::lab
