#pragma once
// Resource and control identifiers of QuellmarkSetup. Included by the .rc
// file too, so only preprocessor definitions.

// Strings; 2, 3, 4 and 6 label the numbers of the same name.
#define IDS_SETUP_CAPTION 1
#define IDS_LOGO_STATIC_LABEL 2
#define IDS_PROGRESS_TIMER_LABEL 3
#define IDS_START_TIMER_LABEL 4
#define IDS_CANNOT_PROCEED 5
#define IDS_WAIT_TIMER_LABEL 6

#define IDI_QUELLMARK 101

// Dialogs: the five wizard pages and the browser check.
#define IDD_OPTIONS 132
#define IDD_WELCOME 133
#define IDD_PROGRESS 134
#define IDD_CONFIRM 135
#define IDD_FINISHED 136
#define IDD_CANNOT_PROCEED 189

// Pictures and the licence text.
#define IDR_LICENCE_TEXT 148
#define IDB_LOGO 150
#define IDR_LOGO_JPG 151
#define IDB_BROWSER_OPEN 191
#define IDB_EXPLORER_BAR_MENU 192

// Controls.
#define IDC_LOGO 1004
#define IDC_WELCOME_TEXT 1009
#define IDC_FOLDER 1011
#define IDC_BROWSE 1012
#define IDC_RESET 1013
#define IDC_PROGRESS 1013
#define IDC_START_MENU 1015
#define IDC_LICENCE 1016
#define IDC_STATUS 1017
#define IDC_FINISHED_TEXT 1018
#define IDC_MENU_PICTURE 1019
#define IDC_CLOSE_BROWSERS 1026
#define IDC_CANNOT_PROCEED_TEXT 1027

// Timers: 4 starts the install procedure, 6 waits for closing browsers.
#define IDT_START_INSTALL 4
#define IDT_BROWSER_WAIT 6
