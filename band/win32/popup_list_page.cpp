#include "band/win32/popup_list_page.h"

#include <commctrl.h>

#include "common/win32/classic_look.h"
#include "band/resources/face_ids.h"
#include "common/text.h"

namespace qm::band {
namespace {

// Posted to ourselves when the user has resized a column: by then the list
// has taken the column's new width.
constexpr UINT kRemeasureMessage = WM_APP + 1;
constexpr COLORREF kIconMask = RGB(8, 0, 0);
constexpr int kImageGrowth = 16;

constexpr DWORD StyleOf(PopupListView view) {
    switch (view) {
        case PopupListView::LargeIcons:
            return LVS_ICON;
        case PopupListView::SmallIcons:
            return LVS_SMALLICON;
        case PopupListView::List:
            return LVS_LIST;
        case PopupListView::Report:
            return LVS_REPORT;
    }
    return LVS_REPORT;
}

// The pictures of a strip, `size` pixels wide each. Without its bitmap the
// list still gets its (empty) image list.
HIMAGELIST LoadImages(HINSTANCE resources, int bitmapId, int size) {
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 1, kImageGrowth);
    HBITMAP strip = LoadBitmapA(resources, MAKEINTRESOURCEA(bitmapId));
    if (images && strip) ImageList_AddMasked(images, strip, kIconMask);
    if (strip) DeleteObject(strip);
    return images;
}

}  // namespace

PopupListPage::PopupListPage(FaceHost& host, HINSTANCE resources)
    : host_(host), resources_(resources), scrollBarWidth_(GetSystemMetrics(SM_CXVSCROLL)) {}

PopupListPage::~PopupListPage() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

bool PopupListPage::create(HWND parent) {
    if (window_) return true;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CreateDialogParamA(resources_, MAKEINTRESOURCEA(IDD_POPUP_WINDOWS), parent, DialogProcedure,
                       reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

HWND PopupListPage::captureParent() const {
    return window_ ? GetDlgItem(window_, IDC_CAPTURE_FRAME) : nullptr;
}

INT_PTR CALLBACK PopupListPage::DialogProcedure(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<PopupListPage*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
        self->onInit();
        return FALSE;
    }
    auto* self = reinterpret_cast<PopupListPage*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
        case WM_SIZE:
            self->onSize(LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_NOTIFY:
            self->onNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return FALSE;
        case kRemeasureMessage:
            self->remeasure();
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, DWLP_USER, 0);
            self->window_ = nullptr;
            self->list_ = nullptr;
            return FALSE;
    }
    return FALSE;
}

void PopupListPage::onInit() {
    list_ = GetDlgItem(window_, IDC_POPUP_LIST);
    SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(LoadImages(resources_, IDB_LARGE_ICON, 32)));
    SendMessageA(list_, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(LoadImages(resources_, IDB_SMALL_ICON, 16)));
    const auto& headers = PopupColumnHeaders();
    for (int i = 0; i < kPopupColumnCount; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_TEXT | (i > 0 ? LVCF_SUBITEM : 0);
        column.fmt = headers[i].align == ColumnAlign::Centre ? LVCFMT_CENTER : LVCFMT_LEFT;
        column.pszText = const_cast<char*>(headers[i].header);
        column.iSubItem = i;
        SendMessageA(list_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    win32::UseClassicLook(window_);
    RECT client;
    GetClientRect(window_, &client);
    onSize(client.right, client.bottom);
}

void PopupListPage::onSize(int width, int height) {
    ColumnWidths widths = columns_.WidthsFor(width, scrollBarWidth_);
    for (int i = 0; i < kPopupColumnCount; ++i) {
        SendMessageA(list_, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i], 0));
    }
    MoveWindow(list_, 0, 0, width, height, TRUE);
}

void PopupListPage::onNotify(const NMHDR& header) {
    switch (header.code) {
        case HDN_ENDTRACKA:
        case HDN_ENDTRACKW:
        case HDN_DIVIDERDBLCLICKA:
        case HDN_DIVIDERDBLCLICKW:
            PostMessageA(window_, kRemeasureMessage, 0, 0);
            return;
        case NM_DBLCLK:
            if (header.hwndFrom != list_) return;
            if (const PopupRecord* record =
                    recordAt(reinterpret_cast<const NMLISTVIEW&>(header).iItem)) {
                // The copy carries the time of this request.
                PopupRecord copy(*record);
                host_.OpenInNewWindow(copy);
            }
            return;
    }
}

void PopupListPage::remeasure() {
    ColumnWidths widths;
    for (int i = 0; i < kPopupColumnCount; ++i) {
        widths[i] = static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, i, 0));
    }
    columns_.Remeasure(widths);
}

void PopupListPage::setViewMode(std::int32_t value, bool save) {
    std::optional<PopupListView> view = ViewForSetting(value);
    if (!view || !list_) return;
    LONG_PTR style = GetWindowLongPtrA(list_, GWL_STYLE);
    SetWindowLongPtrA(list_, GWL_STYLE, (style & ~LVS_TYPEMASK) | StyleOf(*view));
    // Columns only take widths in the report view, and not every list
    // repaints itself on a change of view.
    RECT client;
    GetClientRect(window_, &client);
    onSize(client.right, client.bottom);
    InvalidateRect(list_, nullptr, TRUE);
    host_.ChangeSetting(&Settings::PopupListView, value, save);
}

void PopupListPage::addRecord(const PopupRecord& record) {
    if (!list_) return;
    auto texts = PopupRowTexts(record);
    std::string title = ToAnsi(texts[0]);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = 0;
    item.pszText = const_cast<char*>(title.c_str());
    item.iImage = 0;
    item.lParam = reinterpret_cast<LPARAM>(&record);
    int row =
        static_cast<int>(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    for (int column = 1; column < kPopupColumnCount; ++column) {
        std::string text = ToAnsi(texts[column]);
        LVITEMA sub{};
        sub.iSubItem = column;
        sub.pszText = const_cast<char*>(text.c_str());
        SendMessageA(list_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
    }
}

void PopupListPage::removeRecord(const PopupRecord& record) {
    if (!list_) return;
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(&record);
    int row = static_cast<int>(SendMessageA(list_, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(&find)));
    if (row >= 0) SendMessageA(list_, LVM_DELETEITEM, row, 0);
}

void PopupListPage::clearRecords() {
    // The rows point at the records: they go first.
    if (list_) SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    host_.ClearRecords();
}

std::optional<PopupListView> PopupListPage::currentView() const {
    if (!list_) return std::nullopt;
    switch (GetWindowLongPtrA(list_, GWL_STYLE) & LVS_TYPEMASK) {
        case LVS_ICON:
            return PopupListView::LargeIcons;
        case LVS_SMALLICON:
            return PopupListView::SmallIcons;
        case LVS_LIST:
            return PopupListView::List;
        case LVS_REPORT:
            return PopupListView::Report;
    }
    return std::nullopt;
}

PopupListPage::PointerPlace PopupListPage::placeOf(POINT screen) const {
    if (!list_) return {false, false};
    POINT inList = screen;
    ScreenToClient(list_, &inList);
    RECT client;
    GetClientRect(list_, &client);
    const bool inside = inList.x >= client.left && inList.x <= client.right &&
                        inList.y >= client.top && inList.y <= client.bottom;
    LVHITTESTINFO hit{};
    hit.pt = inList;
    const bool onRow = inside &&
                       SendMessageA(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 &&
                       (hit.flags & LVHT_ONITEM) != 0;
    return {inside, onRow};
}

const PopupRecord* PopupListPage::selectedRecord() const {
    if (!list_) return nullptr;
    int row = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                            MAKELPARAM(LVNI_SELECTED, 0)));
    return recordAt(row);
}

const PopupRecord* PopupListPage::recordAt(int row) const {
    if (!list_ || row < 0) return nullptr;
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<const PopupRecord*>(item.lParam);
}

}  // namespace qm::band
