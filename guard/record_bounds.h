#pragma once
// How much of what a page chooses a popup record keeps: its addresses whole
// up to what the browser itself opens, so the popup can be reopened; its
// title, the opener's title and the window name as far as a row shows them.

#include <cstddef>

#include "guard/popup_record.h"

namespace qm {

// INTERNET_MAX_URL_LENGTH: the browser opens no longer address.
constexpr std::size_t kMaxRecordAddress = 2083;
// A list view row draws at most this many characters of a text.
constexpr std::size_t kMaxRecordText = 259;

// Cuts the page-controlled texts to their bounds, never inside a character.
void BoundPageTexts(PopupRecord& record);

}  // namespace qm
