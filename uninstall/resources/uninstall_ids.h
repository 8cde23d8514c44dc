#pragma once
// Resource and control identifiers of QuellmarkUninstall (uninstall.exe).
// Included by the .rc file too, so only preprocessor definitions.

#define IDS_UNINSTALL_CAPTION 1

#define IDI_QUELLMARK 101

#define IDD_CONFIRM_UNINSTALL 133
#define IDD_UNINSTALL_PROGRESS 134

#define IDB_LOGO 133
#define IDR_LOGO_JPG 136

#define IDC_LOGO 1004
#define IDC_THANKS_TEXT 1009
#define IDC_PROGRESS 1013
#define IDC_STATUS 1014
