#include "rules/win32/tools_page.h"

#include "rules/resources/tools_ids.h"
#include "common/win32/classic_look.h"
#include "rules/win32/dialog_text.h"
#include "rules/rule_lists.h"
#include "rules/tools_layout.h"

namespace qm::tools {
namespace {

constexpr char kErrorCaption[] = "error";
constexpr char kSelectToEdit[] = "a rule must be selected before it can be edited";
constexpr char kSelectToDelete[] = "a rule must be selected before it can be deleted";
constexpr char kConfirmDelete[] = "are you sure you want to delete this rule?";
constexpr char kConfirmCaption[] = "verify";
constexpr COLORREF kIconMask = RGB(8, 0, 0);

struct ListIds {
    int list, edit, add, remove;
};
constexpr ListIds kWhiteIds{IDC_WHITE_LIST, IDC_WHITE_EDIT, IDC_WHITE_ADD, IDC_WHITE_DELETE};
constexpr ListIds kBlackIds{IDC_BLACK_LIST, IDC_BLACK_EDIT, IDC_BLACK_ADD, IDC_BLACK_DELETE};

const ListIds& IdsOf(bool isWhite) {
    return isWhite ? kWhiteIds : kBlackIds;
}

ToolsSize SizeOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return {r.right - r.left, r.bottom - r.top};
}

RuleListButtons ButtonSizes(HWND dialog, const ListIds& ids) {
    return {SizeOf(dialog, ids.add), SizeOf(dialog, ids.remove), SizeOf(dialog, ids.edit)};
}

void Place(HWND dialog, int id, const band::Rect& r) {
    MoveWindow(GetDlgItem(dialog, id), r.left, r.top, r.width(), r.height(), TRUE);
}

void PlaceList(HWND dialog, const ListIds& ids, const RuleListPlaces& places, int groupId) {
    Place(dialog, groupId, places.group);
    Place(dialog, ids.list, places.list);
    SendDlgItemMessageA(dialog, ids.list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(places.columnWidth, 0));
    Place(dialog, ids.add, places.addNew);
    Place(dialog, ids.remove, places.deleteRule);
    Place(dialog, ids.edit, places.editRule);
}

void AddColumn(HWND list, const char* title) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<char*>(title);
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
}

void Fill(HWND list, const std::vector<RuleListRow>& rows) {
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (const RuleListRow& row : rows) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        item.pszText = const_cast<char*>(row.name.c_str());
        item.iImage = static_cast<int>(row.icon);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace

ToolsPage::~ToolsPage() {
    if (window_) DestroyWindow(window_);
}

HWND ToolsPage::Create(HWND parent) {
    if (window_) return window_;
    InitCommonControls();
    return CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_TOOLS), parent, Proc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ToolsPage::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<ToolsPage*>(lParam);
        self->window_ = dialog;
        self->OnInit();
        return FALSE;  // a hidden page takes no focus
    }
    auto* self = reinterpret_cast<ToolsPage*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
        case WM_COMMAND: {
            win32::KeepAlive alive(self->host_);
            return HIWORD(wParam) == BN_CLICKED && self->OnCommand(LOWORD(wParam));
        }
        case WM_NOTIFY: {
            win32::KeepAlive alive(self->host_);
            self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return FALSE;
        }
        case WM_SIZE:
            self->OnSize(LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_DESTROY:
            self->OnDestroy();
            SetWindowLongPtrA(dialog, DWLP_USER, 0);
            return FALSE;
    }
    return FALSE;
}

void ToolsPage::OnInit() {
    EnableRuleButtons(true, false);
    EnableRuleButtons(false, false);
    images_ = ImageList_LoadImageA(instance_, MAKEINTRESOURCEA(IDB_RULE_ICONS), 16, 0, kIconMask,
                                   IMAGE_BITMAP, 0);
    for (bool isWhite : {true, false}) {
        SendMessageA(List(isWhite), LVM_SETIMAGELIST, LVSIL_SMALL,
                     reinterpret_cast<LPARAM>(images_));
        AddColumn(List(isWhite), isWhite ? "whitelist" : "blacklist");
    }
    // Like every control of the band, drawn without visual themes.
    win32::UseClassicLook(window_);
    RefreshRuleLists();
    RECT client{};
    GetClientRect(window_, &client);
    OnSize(client.right, client.bottom);
}

void ToolsPage::RefreshRuleLists() {
    if (!window_) return;
    Fill(List(true), RuleListRows(host_.Rules(), true));
    Fill(List(false), RuleListRows(host_.Rules(), false));
}

bool ToolsPage::OnCommand(int id) {
    switch (id) {
        case IDC_WHITE_ADD:
            host_.AddRule(White | On, "", "");
            return true;
        case IDC_BLACK_ADD:
            host_.AddRule(On, "", "");
            return true;
        case IDC_WHITE_EDIT:
        case IDC_BLACK_EDIT:
            EditSelected(id == IDC_WHITE_EDIT);
            return true;
        case IDC_WHITE_DELETE:
        case IDC_BLACK_DELETE:
            DeleteSelected(id == IDC_WHITE_DELETE);
            return true;
        case IDC_VIEW_LOG:
            host_.ShowLogViewer();
            return true;
        case IDC_LOG_OPTIONS:
            host_.ShowLogSettings();
            return true;
    }
    return false;
}

// Only a mouse click on an item offers "Edit Rule" and "Delete"; selecting
// with the keyboard does not.
void ToolsPage::OnNotify(const NMHDR& header) {
    if (header.idFrom != IDC_WHITE_LIST && header.idFrom != IDC_BLACK_LIST) return;
    if (header.code != NM_CLICK && header.code != NM_DBLCLK) return;
    const bool isWhite = header.idFrom == IDC_WHITE_LIST;
    // Every browser that can host the band has the list view that reports
    // where it was clicked.
    const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
    int item = HitItem(header.hwndFrom, activate.ptAction);
    if (header.code == NM_CLICK) {
        EnableRuleButtons(isWhite, item >= 0);
        return;
    }
    if (item >= 0) host_.EditRule(isWhite, static_cast<std::size_t>(item));
    EnableRuleButtons(isWhite, false);
}

void ToolsPage::OnSize(int width, int height) {
    ToolsLayoutInput input;
    input.page = {width, height};
    input.logGroup = SizeOf(window_, IDC_LOG_GROUP);
    input.viewLog = SizeOf(window_, IDC_VIEW_LOG);
    input.whiteButtons = ButtonSizes(window_, kWhiteIds);
    input.blackButtons = ButtonSizes(window_, kBlackIds);
    ToolsLayout layout = LayOutTools(input);
    Place(window_, IDC_LOG_GROUP, layout.logGroup);
    Place(window_, IDC_VIEW_LOG, layout.viewLog);
    Place(window_, IDC_LOG_OPTIONS, layout.logOptions);
    PlaceList(window_, kWhiteIds, layout.white, IDC_WHITE_GROUP);
    PlaceList(window_, kBlackIds, layout.black, IDC_BLACK_GROUP);
}

void ToolsPage::OnDestroy() {
    // The list views share the image list and leave it to us.
    if (images_) ImageList_Destroy(images_);
    images_ = nullptr;
    window_ = nullptr;
}

HWND ToolsPage::List(bool isWhite) const {
    return GetDlgItem(window_, IdsOf(isWhite).list);
}

int ToolsPage::HitItem(HWND list, POINT point) const {
    LVHITTESTINFO hit{};
    hit.pt = point;
    int item = static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & LVHT_ONITEM) ? item : -1;
}

int ToolsPage::SelectedItem(bool isWhite) const {
    return static_cast<int>(SendMessageA(List(isWhite), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                         MAKELPARAM(LVNI_SELECTED, 0)));
}

void ToolsPage::EnableRuleButtons(bool isWhite, bool enable) {
    EnableWindow(GetDlgItem(window_, IdsOf(isWhite).edit), enable);
    EnableWindow(GetDlgItem(window_, IdsOf(isWhite).remove), enable);
}

void ToolsPage::EditSelected(bool isWhite) {
    int item = SelectedItem(isWhite);
    if (item < 0) {
        Exclaim(window_, kSelectToEdit, kErrorCaption);
        return;
    }
    host_.EditRule(isWhite, static_cast<std::size_t>(item));
}

void ToolsPage::DeleteSelected(bool isWhite) {
    int item = SelectedItem(isWhite);
    if (item < 0) {
        Exclaim(window_, kSelectToDelete, kErrorCaption);
        return;
    }
    if (Exclaim(window_, kConfirmDelete, kConfirmCaption, MB_YESNO) == IDYES) {
        host_.DeleteRule(isWhite, static_cast<std::size_t>(item));
    }
}

}  // namespace qm::tools
