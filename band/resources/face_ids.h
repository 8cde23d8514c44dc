#pragma once
// Resource identifiers of the band's face: the minitab and its buttons, the
// "Popup Windows" and "Preferences" pages, the About box, their pictures and
// texts. The string table labels many of these numbers; the labels are the
// names used here. Plain macros: the resource compiler reads this file too.

// Controls and timers of the minitab, named by their string-table labels.
#define LOGO_BTTN 120
#define EXIT_BTTN 237
#define HELP_BTTN 239
#define SIZE_BTTN 240
#define ON_BTTN 243
#define CAPTION_ID 244
#define TOOLTIP_TIMER 245
#define MINITAB_ID 246
#define CHECK_BROWSER_BAR_VISIBILITY 252
#define BAR_BUTTON 253
#define ALERT_FLASH 254
// Band-window timers that carry a label too.
#define FOR_TIMING_MOUSECLICKS 108
#define CLEAR_ON_UNLOAD_TIMER 114

// Tab buttons of the three pages.
#define IDC_TAB_POPUP_WINDOWS 215
#define IDC_TAB_TOOLS 217
#define IDC_TAB_PREFERENCES 218

// Pages (dialog templates). The Tools page, 205, belongs to the rules.
#define IDD_POPUP_WINDOWS 203
#define IDD_TOOLS 205
#define IDD_PREFERENCES 206
#define IDD_ABOUT 245

// "Popup Windows" page: the list, and the hidden frame that parents the
// windows of stopped popups.
#define IDC_POPUP_LIST 206
#define IDC_CAPTURE_FRAME 225

// "Preferences" page.
#define IDC_GUARD_LEVEL 221
#define IDC_CLEAR_ON_UNLOAD 224
#define IDC_LOAD_BARE 227
#define IDC_COMPLETE_BLOCK 228
#define IDC_ALLOW_FLASH_SCRIPTS 229
#define IDC_FLASH_ALERT 230

// About box.
#define IDC_ABOUT_WELCOME 231
#define IDC_LINK_SUPPORT_MAIL 282
#define IDC_LINK_COMMENTS_MAIL 283
#define IDC_LINK_SALES_MAIL 284
#define IDC_LINK_GENERAL_MAIL 285
#define IDC_LINK_HOME 286
#define IDC_LINK_MANUAL 288
#define IDC_LINK_SUPPORT_WEB 289

// Bitmaps.
#define IDB_TAB_POPUP_WINDOWS 209
#define IDB_TAB_PREFERENCES 211
#define IDB_TAB_TOOLS 212
#define IDB_TAB_OTHER 213
#define IDB_LARGE_ICON 224
#define IDB_SMALL_ICON 225
#define IDB_LOGO 230
#define IDB_SIZE_MINIMISED 233
#define IDB_EXIT 237
#define IDB_HELP 239
#define IDB_SIZE_MAXIMISED 240
#define IDB_ON_OFF_OFF 241
#define IDB_ON_OFF_ON 243
#define IDB_LOGO_MINIMISED 244
#define IDB_ABOUT_PICTURE 256

// The pointing-hand cursor of buttons, tabs and links.
#define IDC_LINK_CURSOR 114

// Strings: button hints, the context menu's texts.
#define IDS_HINT_LOGO 247
#define IDS_HINT_EXIT 248
#define IDS_HINT_HELP 249
#define IDS_HINT_SIZE 250
#define IDS_HINT_ON_OFF 251
#define IDS_LARGE_ICONS 109
#define IDS_SMALL_ICONS 110
#define IDS_LIST 111
#define IDS_REPORT 112
#define IDS_CLEAR_LOG 115
#define IDS_ADD_TO_WHITE_LIST 255
#define IDS_ADD_TO_BLACK_LIST 256
#define IDS_ABOUT 264
