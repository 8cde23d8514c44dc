#pragma once
// What a capture browser's events write into the captured popup's record,
// and the title a popup gets when it never reported one.

#include <cstdint>
#include <string>
#include <string_view>

#include "guard/popup_record.h"

namespace qm {

// A size, position or bar that the captured page asked its window for.
enum class WindowReport {
    Left,
    Top,
    Width,
    Height,
    ToolBar,
    MenuBar,
    AddressBar,
    StatusBar,
    FullScreen,
    Resizable,
};

// Stores the reported value unchanged (a bar arrives as -1 or 0). A window
// without a tool bar also loses its menu, address and links bars, and later
// reports of the menu and address bars no longer count.
void ApplyWindowReport(PopupRecord& record, WindowReport report, std::int32_t value);

// TitleChange: a non-empty title replaces the one recorded.
void RecordTitleChange(PopupRecord& record, std::wstring_view title);
// NavigateComplete2 of the capture browser: the address stands in for a title.
void RecordNavigationComplete(PopupRecord& record, std::wstring_view address);
// DownloadComplete: the document's own title, when none was recorded yet.
void RecordDocumentTitle(PopupRecord& record, std::wstring_view documentTitle);

// A finishing capture without a title: "blank window", "email address" or
// "<domain>.<tld>: untitled popup" from its address.
void ApplyFallbackTitle(PopupRecord& record);

}  // namespace qm
