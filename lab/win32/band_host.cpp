#include "lab/win32/band_host.h"

#include <commctrl.h>
#include <shlobj.h>

#include <vector>

#include "lab/win32/band_controls.h"
#include "lab/win32/bstr.h"
#include "lab/win32/scheduler.h"
#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

// The id this frame gives its band; the band echoes it in DBID_BANDINFOCHANGED.
constexpr DWORD kBandId = 1;

bool ResolveClass(const std::string& name, CLSID* clsid) {
    std::wstring wide = WideFrom(name);
    if (!wide.empty() && wide[0] == L'{') {
        return SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(wide.c_str()), clsid));
    }
    return SUCCEEDED(CLSIDFromProgID(wide.c_str(), clsid));
}

}  // namespace

BandHost::BandHost(Trace& trace, Scheduler& scheduler, HWND barWindow, IWebBrowser2* browser,
                   std::string band, std::function<void()> relayout)
    : trace_(trace),
      shell_(trace),
      scheduler_(scheduler),
      barWindow_(barWindow),
      browser_(browser),
      name_(std::move(band)),
      relayout_(std::move(relayout)) {
    known_ = ResolveClass(name_, &clsid_);
}

BandHost::~BandHost() {
    close();
}

bool BandHost::open() {
    if (band_) return true;
    HRESULT hr = known_ ? CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                           band_.putVoid())
                        : REGDB_E_CLASSNOTREG;
    if (FAILED(hr) || !band_) {
        band_.reset();
        trace_.add(lines::BandNotCreated(name_, static_cast<std::uint32_t>(hr)));
        return false;
    }
    trace_.add(lines::BandCreated(name_));
    site_ = BarSite::Create(*this, barWindow_, browser_.get());
    win32::ComPtr<IObjectWithSite> withSite = band_.as<IObjectWithSite>();
    hr = withSite ? withSite->SetSite(static_cast<IOleWindow*>(site_.get())) : E_NOINTERFACE;
    trace_.add(lines::BandSetSite(static_cast<std::uint32_t>(hr)));
    win32::ComPtr<IDeskBand> deskBand = band_.as<IDeskBand>();
    if (FAILED(hr) || !deskBand) {
        if (withSite && SUCCEEDED(hr)) withSite->SetSite(nullptr);
        withSite.reset();
        release();
        return false;
    }
    askBandInfo();
    bandWindow_ = nullptr;
    deskBand->GetWindow(&bandWindow_);
    shown_ = true;
    relayout_();
    deskBand->ShowDW(TRUE);
    trace_.add(lines::BarShown(height_));
    watch_ = BandWatch();
    rowsSeen_ = 0;
    readHints();
    watch();
    hookCaption();
    shell_.attach(band_.get());
    return true;
}

void BandHost::close() {
    if (!band_) return;
    unhookCaption();
    shell_.detach();
    hints_.clear();
    win32::ComPtr<IUnknown> band = band_;
    if (win32::ComPtr<IDeskBand> deskBand = band.as<IDeskBand>()) {
        deskBand->ShowDW(FALSE);
        deskBand->CloseDW(0);
    }
    if (win32::ComPtr<IObjectWithSite> withSite = band.as<IObjectWithSite>()) {
        withSite->SetSite(nullptr);
    }
    band.reset();
    trace_.add(lines::BarHidden());
    release();
}

bool BandHost::show(bool show) {
    win32::ComPtr<IDeskBand> deskBand = band_.as<IDeskBand>();
    if (!deskBand) return false;
    shown_ = show;
    HRESULT hr = deskBand->ShowDW(show ? TRUE : FALSE);
    trace_.add(lines::BarShowWindow(show, static_cast<std::uint32_t>(hr)));
    relayout_();
    return true;
}

void BandHost::release() {
    scheduler_.cancel(watchTask_);
    watchTask_ = 0;
    if (site_) site_->detach();
    site_.reset();
    bandWindow_ = nullptr;
    height_ = 0;
    shown_ = false;
    IUnknown* band = band_.detach();
    ULONG left = band ? band->Release() : 0;
    trace_.add(lines::BandReleased(left));
    relayout_();
}

bool BandHost::bandWindowVisible() const {
    return bandWindow_ && IsWindow(bandWindow_) && IsWindowVisible(bandWindow_);
}

bool BandHost::isBandClass(const std::wstring& clsid) const {
    CLSID asked;
    if (!known_ || FAILED(CLSIDFromString(const_cast<LPOLESTR>(clsid.c_str()), &asked))) {
        return false;
    }
    return IsEqualCLSID(asked, clsid_);
}

void BandHost::place(int width, int toolbarWidth) {
    if (bandWindow_ && IsWindow(bandWindow_)) {
        SetWindowPos(bandWindow_, nullptr, toolbarWidth, 0, width - toolbarWidth, height_,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void BandHost::askBandInfo() {
    win32::ComPtr<IDeskBand> deskBand = band_.as<IDeskBand>();
    if (!deskBand) return;
    DESKBANDINFO info = {};
    info.dwMask = kBandAllMembers;
    HRESULT hr = deskBand->GetBandInfo(kBandId, DBIF_VIEWMODE_NORMAL, &info);
    if (FAILED(hr)) {
        trace_.add(lines::BandInfoFailed(static_cast<std::uint32_t>(hr)));
        return;
    }
    BandInfoAnswer answer;
    answer.mask = info.dwMask;
    answer.minSize = {info.ptMinSize.x, info.ptMinSize.y};
    answer.maxSize = {info.ptMaxSize.x, info.ptMaxSize.y};
    answer.integral = {info.ptIntegral.x, info.ptIntegral.y};
    answer.actual = {info.ptActual.x, info.ptActual.y};
    info.wszTitle[sizeof info.wszTitle / sizeof info.wszTitle[0] - 1] = 0;
    answer.title = AnsiFrom(info.wszTitle);
    answer.modeFlags = info.dwModeFlags;
    answer.backColor = info.crBkgnd;
    trace_.add(lines::BandInfo(answer));
    height_ = BarHeight(answer);
}

namespace {

// The first command id the frame offers the band's menu, and the last.
constexpr UINT kFirstMenuCommand = 1;
constexpr UINT kLastMenuCommand = 0x7FFF;

// Wine (8.0) moves the pointer at once but may put it back when the
// display's own report of an earlier move arrives: move until it stays.
void PlacePointer(POINT at) {
    for (int tries = 0; tries < 10; ++tries) {
        SetCursorPos(at.x, at.y);
        PumpMessages(30);
        POINT now;
        if (GetCursorPos(&now) && now.x == at.x && now.y == at.y) return;
    }
}

}  // namespace

bool BandHost::contextMenu(const std::string& item, const POINT* point) {
    win32::ComPtr<IContextMenu> menu = band_.as<IContextMenu>();
    if (!menu || !bandWindow_) {
        trace_.add(lines::BarMenuFailed(static_cast<std::uint32_t>(E_NOINTERFACE)));
        return false;
    }
    POINT at = {0, 0};
    if (point) {
        at = *point;
    } else {
        RECT client;
        GetClientRect(bandWindow_, &client);
        at = {client.right / 2, client.bottom / 2};
    }
    ClientToScreen(bandWindow_, &at);
    PlacePointer(at);
    HMENU popup = CreatePopupMenu();
    HRESULT hr = menu->QueryContextMenu(popup, 0, kFirstMenuCommand, kLastMenuCommand, CMF_NORMAL);
    if (FAILED(hr)) {
        DestroyMenu(popup);
        trace_.add(lines::BarMenuFailed(static_cast<std::uint32_t>(hr)));
        return false;
    }
    std::vector<MenuEntry> entries;
    UINT chosen = 0;
    int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        UINT state = GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION);
        MenuEntry entry;
        entry.separator = (state & MF_SEPARATOR) != 0;
        entry.checked = (state & MF_CHECKED) != 0;
        entry.grayed = (state & (MF_GRAYED | MF_DISABLED)) != 0;
        if (!entry.separator) {
            char text[256] = "";
            GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            entry.text = text;
            UINT id = GetMenuItemID(popup, i);
            if (!item.empty() && !chosen &&
                WithoutMnemonics(entry.text) == WithoutMnemonics(item)) {
                chosen = id;
            }
        }
        entries.push_back(std::move(entry));
    }
    DestroyMenu(popup);
    trace_.add(lines::BarMenuItems(entries));
    if (item.empty()) return true;
    if (!chosen || chosen < kFirstMenuCommand) {
        trace_.add(lines::BarMenuMissing(item));
        return false;
    }
    CMINVOKECOMMANDINFO command = {};
    command.cbSize = sizeof command;
    command.hwnd = GetParent(barWindow_);
    command.lpVerb = MAKEINTRESOURCEA(chosen - kFirstMenuCommand);
    command.nShow = SW_SHOWNORMAL;
    hr = menu->InvokeCommand(&command);
    trace_.add(lines::BarMenuChose(item, static_cast<std::uint32_t>(hr)));
    return true;
}

namespace {

struct ControlSearch {
    int id;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ControlSearch*>(data);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (GetDlgCtrlID(window) == search->id && lstrcmpiA(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The control of the band with this id and window class, at any depth.
HWND FindControl(HWND top, int id, const char* className) {
    ControlSearch search = {id, className, nullptr};
    EnumChildWindows(top, &MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The ids the band's window gives its caption and its list of popups,
// and the button it puts over the bar's toolbar.
constexpr int kCaptionId = 244;
constexpr int kPopupListId = 206;
constexpr int kBarButtonId = 253;

// The band's picture buttons show no text: each is known by the hint its
// string table gives it (logo, exit, help, size, on/off).
struct PictureButton {
    int id;
    int hint;
};
constexpr PictureButton kPictureButtons[] = {
    {120, 247}, {237, 248}, {239, 249}, {240, 250}, {243, 251}};
// Where a row of the popup list shows its address, and a rule its name.
constexpr int kAddressColumn = 1;
constexpr int kRuleNameColumn = 0;

}  // namespace

BandSample BandHost::sample() {
    BandSample sample;
    if (HWND caption = FindControl(bandWindow_, kCaptionId, "Static")) {
        sample.captionFound = true;
        sample.captionVisible = (GetWindowLongA(caption, GWL_STYLE) & WS_VISIBLE) != 0;
        char text[512] = "";
        GetWindowTextA(caption, text, sizeof text);
        sample.captionText = text;
    }
    if (HWND list = FindControl(bandWindow_, kPopupListId, WC_LISTVIEWA)) {
        sample.listFound = true;
        int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        sample.rows.resize(static_cast<std::size_t>(count > 0 ? count : 0));
        // Only rows new since the last look are read: the band adds them at the top.
        std::size_t fresh = sample.rows.size() > rowsSeen_ ? sample.rows.size() - rowsSeen_ : 0;
        int columns = ListColumnCount(list, 2);
        for (std::size_t i = 0; i < fresh; ++i) {
            for (int column = 0; column < columns; ++column) {
                sample.rows[i].push_back(ListItemText(list, static_cast<int>(i), column));
            }
        }
        rowsSeen_ = sample.rows.size();
    }
    return sample;
}

void BandHost::watch() {
    watchTask_ = 0;
    if (!band_ || !bandWindow_ || !IsWindow(bandWindow_)) return;
    for (std::string& line : watch_.observe(sample(), GetTickCount())) trace_.add(std::move(line));
    watchTask_ = scheduler_.after(50, [this] { watch(); });
}

void BandHost::hookCaption() {
    caption_ = FindControl(bandWindow_, kCaptionId, "Static");
    if (caption_ && !SetWindowSubclass(caption_, &BandHost::CaptionProc, 0,
                                       reinterpret_cast<DWORD_PTR>(this))) {
        caption_ = nullptr;
    }
    layoutDepth_ = 0;
    hookedBand_ = bandWindow_;
    if (hookedBand_ && !SetWindowSubclass(hookedBand_, &BandHost::BandWindowProc, 0,
                                          reinterpret_cast<DWORD_PTR>(this))) {
        hookedBand_ = nullptr;
    }
}

void BandHost::unhookCaption() {
    if (caption_ && IsWindow(caption_)) RemoveWindowSubclass(caption_, &BandHost::CaptionProc, 0);
    caption_ = nullptr;
    if (hookedBand_ && IsWindow(hookedBand_)) {
        RemoveWindowSubclass(hookedBand_, &BandHost::BandWindowProc, 0);
    }
    hookedBand_ = nullptr;
}

LRESULT CALLBACK BandHost::BandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<BandHost*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &BandHost::BandWindowProc, id);
        self->hookedBand_ = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    if (message != WM_SIZE) return DefSubclassProc(window, message, wParam, lParam);
    ++self->layoutDepth_;
    LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    --self->layoutDepth_;
    return result;
}

LRESULT CALLBACK BandHost::CaptionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<BandHost*>(data);
    LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_SETTEXT) {
        for (std::string& line : self->watch_.captionSet(WindowText(window), GetTickCount())) {
            self->trace_.add(std::move(line));
        }
    } else if (message == WM_WINDOWPOSCHANGED) {
        UINT flags = reinterpret_cast<const WINDOWPOS*>(lParam)->flags;
        if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
            bool shown = (flags & SWP_SHOWWINDOW) != 0;
            for (std::string& line :
                 self->watch_.captionShown(shown, GetTickCount(), self->layoutDepth_ > 0)) {
                self->trace_.add(std::move(line));
            }
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &BandHost::CaptionProc, id);
        self->caption_ = nullptr;
    }
    return result;
}

namespace {

// The user's pointer goes over the control before the click: the band
// takes clicks only from a pointer inside it.
void PointAt(HWND control, POINT at) {
    ClientToScreen(control, &at);
    // A late report of an earlier move may still put it back: place it
    // until it stays there a while.
    for (int tries = 0; tries < 10; ++tries) {
        PlacePointer(at);
        PumpMessages(50);
        POINT now;
        if (GetCursorPos(&now) && now.x == at.x && now.y == at.y) return;
    }
}

void ClickWithPointer(HWND button) {
    RECT client;
    GetClientRect(button, &client);
    PointAt(button, {client.right / 2, client.bottom / 2});
    ClickButton(button);
}

}  // namespace

bool BandHost::clickTab(const std::string& text) {
    if (!bandWindowVisible()) return false;
    for (HWND button : FindShownWindows(bandWindow_, "Button")) {
        bool tab = (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW;
        if (tab && WithoutMnemonics(WindowText(button)) == WithoutMnemonics(text)) {
            ClickWithPointer(button);
            return true;
        }
    }
    return false;
}

HWND BandHost::findControl(const std::string& text, const std::string& group,
                           bool barButton) const {
    if (!bandWindowVisible()) return nullptr;
    if (barButton) {
        HWND button = FindControl(GetParent(bandWindow_), kBarButtonId, "Button");
        return button && IsWindowVisible(button) ? button : nullptr;
    }
    if (HWND control = FindShownControlIn(bandWindow_, "Button", text, group)) return control;
    if (!group.empty()) return nullptr;
    for (const auto& [button, hint] : hints_) {
        if (IsWindow(button) && IsWindowVisible(button) &&
            WithoutMnemonics(hint) == WithoutMnemonics(text)) {
            return button;
        }
    }
    return nullptr;
}

bool BandHost::clickControl(const std::string& text, const std::string& group, bool barButton) {
    HWND button = findControl(text, group, barButton);
    if (!button || !IsWindowEnabled(button)) return false;
    ClickWithPointer(button);
    return true;
}

bool BandHost::hover(const std::string& text, const std::string& group, bool barButton) {
    HWND control = findControl(text, group, barButton);
    if (!control) return false;
    RECT client;
    GetClientRect(control, &client);
    PointAt(control, {client.right / 2, client.bottom / 2});
    return true;
}

void BandHost::readHints() {
    hints_.clear();
    std::vector<std::string> texts;
    for (const PictureButton& picture : kPictureButtons) {
        HWND button = FindControl(bandWindow_, picture.id, "Button");
        if (!button) continue;
        // The button's module holds the string table its hint comes from.
        auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(button, GWLP_HINSTANCE));
        char text[256] = "";
        if (LoadStringA(module, static_cast<UINT>(picture.hint), text, sizeof text) <= 0) continue;
        hints_.emplace_back(button, text);
        texts.push_back(text);
    }
    watch_.setHints(std::move(texts));
}

bool BandHost::pickLevel(const std::string& text) {
    if (!bandWindowVisible()) return false;
    for (HWND combo : FindShownWindows(bandWindow_, "ComboBox")) {
        if (IsWindowEnabled(combo) && PickComboItem(combo, text)) return true;
    }
    return false;
}

HWND BandHost::shownList() const {
    if (!bandWindowVisible()) return nullptr;
    std::vector<HWND> lists = FindShownWindows(bandWindow_, WC_LISTVIEWA);
    for (HWND list : lists) {
        if (GetDlgCtrlID(list) == kPopupListId) return list;
    }
    return nullptr;
}

int BandHost::chooseRow(HWND list, int number, const std::string& text, int column) const {
    int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    int row = -1;
    if (number > 0) {
        row = number <= count ? number - 1 : -1;
    } else {
        for (int i = 0; i < count && row < 0; ++i) {
            if (ListItemText(list, i, column) == text) row = i;
        }
    }
    if (row < 0) return -1;
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&state));
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    return row;
}

namespace {

// The middle of the row's label, in the list's client coordinates.
POINT RowPoint(HWND list, int row) {
    RECT rect = {};
    rect.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void DoubleClickRow(HWND list, int row) {
    POINT at = RowPoint(list, row);
    PointAt(list, at);
    LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    SendMessageA(list, WM_LBUTTONUP, 0, where);
}

}  // namespace

bool BandHost::openRow(int number, const std::string& address, bool belowRows) {
    HWND list = shownList();
    if (list && belowRows) {
        POINT at;
        if (!ListPoint(list, -1, &at)) return false;
        PointAt(list, at);
        LPARAM where = MAKELPARAM(at.x, at.y);
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
        SendMessageA(list, WM_LBUTTONUP, 0, where);
        trace_.add(lines::BandDoubleClickedBelowRows());
        return true;
    }
    int row = list ? chooseRow(list, number, address, kAddressColumn) : -1;
    if (row < 0) return false;
    DoubleClickRow(list, row);
    return true;
}

HWND BandHost::ruleList(const std::string& name, const std::string& group, int* row) const {
    if (!bandWindowVisible()) return nullptr;
    for (HWND list : FindShownWindows(bandWindow_, WC_LISTVIEWA)) {
        if (GetDlgCtrlID(list) == kPopupListId) continue;
        if (!group.empty() && !IsInGroup(list, group)) continue;
        *row = FindListRow(list, name, kRuleNameColumn);
        if (*row >= 0) return list;
    }
    return nullptr;
}

HWND BandHost::ruleList(const std::string& group) const {
    if (!bandWindowVisible()) return nullptr;
    for (HWND list : FindShownWindows(bandWindow_, WC_LISTVIEWA)) {
        if (GetDlgCtrlID(list) != kPopupListId && (group.empty() || IsInGroup(list, group))) {
            return list;
        }
    }
    return nullptr;
}

bool BandHost::openRule(const std::string& name, const std::string& group) {
    int row = -1;
    HWND list = ruleList(name, group, &row);
    if (!list) return false;
    chooseRow(list, row + 1, std::string(), kRuleNameColumn);
    DoubleClickRow(list, row);
    return true;
}

bool BandHost::selectRule(const std::string& name, const std::string& group, bool belowRows) {
    int row = -1;
    HWND list = belowRows ? ruleList(group) : ruleList(name, group, &row);
    POINT at;
    if (!list || !ListPoint(list, row, &at)) return false;
    PointAt(list, at);
    ClickList(list, at);
    PumpMessages(0);
    return true;
}

bool BandHost::pressKey(int key) {
    static const WORD kVirtualKeys[] = {VK_UP,  VK_DOWN,  VK_LEFT, VK_RIGHT, VK_HOME,
                                        VK_END, VK_PRIOR, VK_NEXT, VK_SPACE};
    HWND focus = GetFocus();
    if (key < 0 || static_cast<std::size_t>(key) >= std::size(kVirtualKeys) || !focus ||
        !bandWindowVisible() || !IsChild(bandWindow_, focus)) {
        return false;
    }
    WORD vk = kVirtualKeys[key];
    UINT scan = MapVirtualKeyA(vk, 0);
    LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    SendMessageA(focus, WM_KEYDOWN, vk, down);
    if (vk == VK_SPACE) SendMessageA(focus, WM_CHAR, ' ', down);
    SendMessageA(focus, WM_KEYUP, vk, down | (static_cast<LPARAM>(3) << 30));
    PumpMessages(0);
    return true;
}

bool BandHost::rowMenu(int number, const std::string& address, const std::string& item) {
    HWND list = shownList();
    int row = list ? chooseRow(list, number, address, kAddressColumn) : -1;
    if (row < 0) return false;
    POINT at = RowPoint(list, row);
    MapWindowPoints(list, bandWindow_, &at, 1);
    return contextMenu(item, &at);
}

void BandHost::tracePages() {
    if (!bandWindowVisible()) return;
    std::vector<ControlEntry> controls;
    for (HWND page : FindShownWindows(bandWindow_, "#32770")) {
        std::vector<ControlEntry> more = ControlEntries(page);
        controls.insert(controls.end(), more.begin(), more.end());
    }
    trace_.add(lines::BandPage(controls));
}

void BandHost::bandInfoChanged() {
    if (!band_) return;
    askBandInfo();
    relayout_();
    trace_.add(lines::BarResized(height_));
}

void BandHost::decided(const DecisionNote& note) {
    trace_.add(lines::Decision(note));
}

}  // namespace qm::lab
