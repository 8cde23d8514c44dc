#pragma once
// Resource identifiers of the rules and log tools: the "Tools" page, the
// rule editor, the activity log viewer and the log settings dialog, and
// their pictures. Plain macros: the resource compiler reads this file too.

// Dialog templates.
#define IDD_TOOLS 205
#define IDD_LOG_VIEWER 246
#define IDD_LOG_SETTINGS 250
#define IDD_RULE_EDITOR 251

// Bitmaps: the rule lists' eight pictures and the log viewer's two.
#define IDB_LOG_ICONS 249
#define IDB_RULE_ICONS 252

// "Tools" page.
#define IDC_LOG_GROUP 233
#define IDC_VIEW_LOG 234
#define IDC_LOG_OPTIONS 235
#define IDC_WHITE_GROUP 236
#define IDC_BLACK_GROUP 237
#define IDC_WHITE_EDIT 238
#define IDC_WHITE_ADD 239
#define IDC_WHITE_DELETE 240
#define IDC_BLACK_EDIT 241
#define IDC_BLACK_ADD 242
#define IDC_BLACK_DELETE 243
#define IDC_WHITE_LIST 246
#define IDC_BLACK_LIST 247

// Rule editor.
#define IDC_RULE_ON 208
#define IDC_RULE_OFF 209
#define IDC_POPUP_LOCATION 255
#define IDC_SOURCE_LOCATION 256
#define IDC_POPUP_EXACT 258
#define IDC_POPUP_DOMAIN 259
#define IDC_SOURCE_EXACT 260
#define IDC_SOURCE_DOMAIN 261
#define IDC_POPUP_CONDITION_LABEL 269
#define IDC_SOURCE_CONDITION_LABEL 270
#define IDC_RULE_NAME 271

// Log viewer.
#define IDC_LOG_LIST 247
#define IDC_CLEAR_LOG 248
#define IDC_LOG_DETAILS 249
#define IDC_STOPPED_LABEL 268
#define IDC_RECORD_ONLY_LABEL 269
#define IDC_TOTAL_LABEL 270
#define IDC_STOPPED_COUNT 271
#define IDC_RECORD_ONLY_COUNT 272
#define IDC_TOTAL_COUNT 275

// Log settings.
#define IDC_LOG_STOPPED 251
#define IDC_LOG_RECORDED 252
#define IDC_MAX_LOG_SIZE 254
#define IDC_REMOVE_OLDEST 208
#define IDC_STOP_RECORDING 209
#define IDC_CLEAR_ALL 210
