#include "log/win32/log_viewer_dialog.h"

#include <commctrl.h>

#include "common/decimal.h"
#include "rules/resources/tools_ids.h"
#include "common/text.h"
#include "log/win32/centred_dialog.h"
#include "log/log_viewer_model.h"
#include "rules/win32/dialog_text.h"

namespace qm::tools {
namespace {

constexpr COLORREF kIconMask = RGB(8, 0, 0);

// "07/03/02 04:05:09PM": the pictures are the system's, so the user's AM/PM
// designator fills "tt".
std::string DateTimeText(const LocalTime& t) {
    SYSTEMTIME time{t.year, t.month,  t.dayOfWeek, t.day,
                    t.hour, t.minute, t.second,    t.milliseconds};
    char date[64] = {};
    char clock[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, &time, "MM'/'dd'/'yy", date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, "hh':'mm':'sstt", clock, sizeof clock);
    return std::string(date) + " " + clock;
}

void SetNumber(HWND dialog, int id, int value) {
    SetDlgItemTextA(dialog, id, DecimalText(value).c_str());
}

class LogViewerDialog {
public:
    LogViewerDialog(HINSTANCE instance, FileSystem& files, const std::string& moduleFileName)
        : instance_(instance), files_(files), moduleFileName_(moduleFileName) {}

    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            auto* self = reinterpret_cast<LogViewerDialog*>(lParam);
            self->dialog_ = dialog;
            self->OnInit();
            return TRUE;
        }
        auto* self = reinterpret_cast<LogViewerDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!self) return FALSE;
        switch (message) {
            case WM_COMMAND:
                return self->OnCommand(LOWORD(wParam));
            case WM_NOTIFY:
                self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
                return FALSE;
        }
        return FALSE;
    }

private:
    void OnInit() {
        CentreOverOwnerWindow(dialog_);
        list_ = GetDlgItem(dialog_, IDC_LOG_LIST);
        // The list view owns the image list and destroys it with itself.
        HIMAGELIST images = ImageList_LoadImageA(instance_, MAKEINTRESOURCEA(IDB_LOG_ICONS), 16, 0,
                                                 kIconMask, IMAGE_BITMAP, 0);
        SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
        AddColumn(0, "datetime");
        AddColumn(1, "url");
        ReloadLog();
    }

    bool OnCommand(int id) {
        switch (id) {
            case IDC_CLEAR_LOG:
                if (Exclaim(dialog_, kClearLogQuestion, kClearLogCaption, MB_YESNO) == IDYES) {
                    ClearLog(files_, moduleFileName_);
                    ReloadLog();
                }
                return true;
            case IDOK:
            case IDCANCEL:
                EndDialog(dialog_, id);
                return true;
        }
        return false;
    }

    // A click on a row shows that entry; a click beside the rows empties the
    // box. Moving the selection with the keyboard leaves it alone.
    void OnNotify(const NMHDR& header) {
        if (header.idFrom != IDC_LOG_LIST || header.code != NM_CLICK) return;
        LVHITTESTINFO hit{};
        hit.pt = reinterpret_cast<const NMITEMACTIVATE&>(header).ptAction;
        int item =
            static_cast<int>(SendMessageA(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        std::string details;
        if (item >= 0 && (hit.flags & LVHT_ONITEM)) {
            LVITEMA row{};
            row.mask = LVIF_PARAM;
            row.iItem = item;
            SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row));
            if (static_cast<std::size_t>(row.lParam) < content_.entries.size()) {
                details = ToAnsi(content_.entries[static_cast<std::size_t>(row.lParam)].Describe());
            }
        }
        SetDlgItemTextA(dialog_, IDC_LOG_DETAILS, details.c_str());
    }

    void ReloadLog() {
        SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
        SetDlgItemTextA(dialog_, IDC_LOG_DETAILS, "");
        EnableWindow(GetDlgItem(dialog_, IDC_CLEAR_LOG), FALSE);
        content_ = ReadLogForViewer(files_, moduleFileName_);
        if (content_.readFailed) Exclaim(dialog_, kLogReadError, kLogReadErrorCaption);

        LogCounts counts = CountLogEntries(content_.entries);
        SetNumber(dialog_, IDC_STOPPED_COUNT, counts.stopped);
        SetNumber(dialog_, IDC_RECORD_ONLY_COUNT, counts.recordOnly);
        SetNumber(dialog_, IDC_TOTAL_COUNT, counts.total);

        std::vector<LogRow> rows = LogRowsNewestFirst(content_.entries);
        for (std::size_t i = 0; i < rows.size(); ++i) AddRow(static_cast<int>(i), rows[i]);
        // Sized once, after the last row: the same widths as after each one.
        SendMessageA(list_, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE, 0));
        SendMessageA(list_, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0));
        if (!rows.empty()) EnableWindow(GetDlgItem(dialog_, IDC_CLEAR_LOG), TRUE);
    }

    void AddRow(int index, const LogRow& row) {
        const PopupRecord& entry = content_.entries[row.entry];
        std::string when = DateTimeText(entry.timeStamp);
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        item.iItem = index;
        item.pszText = &when[0];
        item.iImage = row.icon;
        item.lParam = static_cast<LPARAM>(row.entry);
        int at = static_cast<int>(
            SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        std::string url = ToAnsi(entry.url);
        LVITEMA sub{};
        sub.iSubItem = 1;
        sub.pszText = &url[0];
        SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(at),
                     reinterpret_cast<LPARAM>(&sub));
    }

    void AddColumn(int index, const char* title) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(title);
        column.iSubItem = index;
        SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&column));
    }

    HINSTANCE instance_;
    FileSystem& files_;
    const std::string& moduleFileName_;
    HWND dialog_ = nullptr;
    HWND list_ = nullptr;
    LogViewerContent content_;
};

}  // namespace

void RunLogViewerDialog(HINSTANCE instance, HWND owner, FileSystem& files,
                        const std::string& moduleFileName) {
    InitCommonControls();
    LogViewerDialog dialog(instance, files, moduleFileName);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_LOG_VIEWER), owner, LogViewerDialog::Proc,
                    reinterpret_cast<LPARAM>(&dialog));
}

}  // namespace qm::tools
