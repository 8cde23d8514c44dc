#include "band/win32/minitab_window.h"

#include <algorithm>

#include "band/win32/face_painting.h"
#include "common/geometry.h"
#include "band/minitab_commands.h"
#include "band/minitab_layout.h"
#include "band/resources/face_ids.h"
#include "band/tab_shapes.h"
#include "common/win32/module_classes.h"

namespace qm::band {
namespace {

const char kClassName[] = "QuellmarkMinitab";

constexpr int kPictureIds[] = {
    IDB_LOGO,           IDB_LOGO_MINIMISED, IDB_EXIT,       IDB_HELP,       IDB_SIZE_MAXIMISED,
    IDB_SIZE_MINIMISED, IDB_ON_OFF_ON,      IDB_ON_OFF_OFF, IDB_SMALL_ICON, IDB_TAB_OTHER};

struct ImageButton {
    int id;
    int hint;
};
constexpr ImageButton kImageButtons[] = {{LOGO_BTTN, IDS_HINT_LOGO},
                                         {EXIT_BTTN, IDS_HINT_EXIT},
                                         {HELP_BTTN, IDS_HINT_HELP},
                                         {SIZE_BTTN, IDS_HINT_SIZE},
                                         {ON_BTTN, IDS_HINT_ON_OFF}};

bool RegisterMinitabClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    return win32::RegisterModuleClass(wc);
}

void Place(HWND window, const Rect& r) {
    MoveWindow(window, r.left, r.top, std::max(r.width(), 0), std::max(r.height(), 0), TRUE);
}

HRGN RegionOf(const TabShape& shape, int dx) {
    POINT points[8];
    int count = 0;
    for (const Point& p : shape.polygon) {
        if (count == 8) break;
        points[count++] = {p.x + dx, p.y};
    }
    return CreatePolygonRgn(points, count, WINDING);
}

}  // namespace

MinitabWindow::ButtonHook::ButtonHook(MinitabWindow& minitab, int hintId, bool erasesBackground)
    : minitab_(minitab), hintId_(hintId), erasesBackground_(erasesBackground) {}

bool MinitabWindow::ButtonHook::handle(UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (hintId_) minitab_.showHint(hintId_);
            return false;
        case WM_SETCURSOR:
            result = minitab_.setCursorOverLink();
            return true;
        case WM_ERASEBKGND:
            if (erasesBackground_) return false;
            result = 1;
            return true;
    }
    return false;
}

bool MinitabWindow::BarFrameHook::handle(UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result) {
    HWND button = minitab_.barButton_;
    switch (message) {
        case WM_COMMAND:
            if (!button || reinterpret_cast<HWND>(lParam) != button) return false;
            if (HIWORD(wParam) == BN_CLICKED && minitab_.owner_) {
                win32::KeepAlive alive(*minitab_.owner_);
                minitab_.owner_->ShowAbout();
            }
            result = 0;
            return true;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (!button || item->hwndItem != button) return false;
            PaintBarButton(item->hDC, item->rcItem, minitab_.picture(IDB_SMALL_ICON),
                           (item->itemState & ODS_SELECTED) != 0);
            result = TRUE;
            return true;
        }
        case WM_SETCURSOR:
            if (button && reinterpret_cast<HWND>(wParam) == button) {
                result = minitab_.setCursorOverLink();
                return true;
            }
            if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) != window()) {
                SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
                result = TRUE;
                return true;
            }
            return false;
    }
    return false;
}

MinitabWindow::MinitabWindow(HINSTANCE resources)
    : resources_(resources), flashBrush_(CreateSolidBrush(kFlashColour)) {
    for (std::size_t i = 0; i < pictures_.size(); ++i) pictures_[i].first = kPictureIds[i];
}

MinitabWindow::~MinitabWindow() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

void MinitabWindow::attach(MinitabOwner& owner) {
    owner_ = &owner;
    flash_ = FlashAlert();
}

bool MinitabWindow::create(HWND bandWindow) {
    if (window_) return true;
    if (!RegisterMinitabClass(resources_, &Procedure)) return false;
    CreateWindowExA(0, kClassName, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, bandWindow,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(MINITAB_ID)), resources_, this);
    return window_ != nullptr;
}

LRESULT CALLBACK MinitabWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MinitabWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<MinitabWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->tabs_.clear();
        self->hooks_.clear();
        for (auto& picture : self->pictures_) picture.second.reset();
        self->window_ = nullptr;
        self->caption_ = nullptr;
        self->selected_ = -1;
        self->selectedPage_ = 0;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    return self->onMessage(message, wParam, lParam);
}

LRESULT MinitabWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            onCreate();
            return 0;
        case WM_DESTROY:
            onDestroy();
            return 0;
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(window_, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, backgroundBrush());
            return 1;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window_, &paint);
            EndPaint(window_, &paint);
            return 0;
        }
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(backgroundBrush());
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_DRAWITEM:
            onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (owner_ && (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == BN_DOUBLECLICKED)) {
                win32::KeepAlive alive(*owner_);
                onCommand(LOWORD(wParam));
            }
            return 0;
        case WM_TIMER:
            if (wParam == TOOLTIP_TIMER) onTooltipTimer();
            if (wParam == ALERT_FLASH) onFlashTick();
            return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void MinitabWindow::onCreate() {
    for (const ImageButton& image : kImageButtons) {
        HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0,
                                      kSmallButtonWidth, kSmallButtonHeight, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(image.id)),
                                      resources_, nullptr);
        auto hook = std::make_unique<ButtonHook>(*this, image.hint, true);
        if (button && hook->attach(button)) hooks_.push_back(std::move(hook));
    }
    for (auto& picture : pictures_) {
        picture.second.reset(LoadBitmapA(resources_, MAKEINTRESOURCEA(picture.first)));
    }
    linkCursor_ = LoadCursorA(resources_, MAKEINTRESOURCEA(IDC_LINK_CURSOR));
    caption_ = CreateWindowExA(
        0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_CENTERIMAGE,
        0, 0, 0, 0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(CAPTION_ID)), resources_,
        nullptr);
    captionText_.clear();
    SendMessageA(caption_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
}

void MinitabWindow::onDestroy() {
    KillTimer(window_, TOOLTIP_TIMER);
    KillTimer(window_, ALERT_FLASH);
    flash_ = FlashAlert();
    removeBarButton();
}

int MinitabWindow::addTab(HWND page, const std::string& caption, int pageId, int tabButtonId,
                          int labelBitmapId) {
    if (!window_ || static_cast<int>(tabs_.size()) >= kMaxTabs) {
        return static_cast<int>(tabs_.size());
    }
    auto tab = std::make_unique<TabEntry>();
    tab->pageId = pageId;
    tab->buttonId = tabButtonId;
    tab->labelBitmapId = labelBitmapId;
    tab->caption = caption;
    tab->page = page;
    tab->label.reset(LoadBitmapA(resources_, MAKEINTRESOURCEA(labelBitmapId)));
    if (page) {
        ShowWindow(page, SW_HIDE);
        EnableWindow(page, FALSE);
    }
    Picture label = PictureOf(tab->label.get());
    tab->width = label.size.cx + kTabExtraWidth;
    tabHeight_ = label.size.cy + kTabExtraHeight;
    tab->button = CreateWindowExA(
        WS_EX_TRANSPARENT, "BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0,
        tab->width, tabHeight_, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(tabButtonId)),
        resources_, nullptr);
    auto hook = std::make_unique<ButtonHook>(*this, 0, false);
    if (tab->button && hook->attach(tab->button)) hooks_.push_back(std::move(hook));
    tabs_.push_back(std::move(tab));
    return static_cast<int>(tabs_.size());
}

void MinitabWindow::selectPage(int pageId) {
    int row = -1;
    for (std::size_t i = 0; i < tabs_.size(); ++i) {
        if (tabs_[i]->pageId == pageId) row = static_cast<int>(i);
    }
    if (row < 0) return;
    if (selected_ >= 0 && tabs_[selected_]->page) {
        EnableWindow(tabs_[selected_]->page, FALSE);
        ShowWindow(tabs_[selected_]->page, SW_HIDE);
    }
    selected_ = row;
    selectedPage_ = pageId;
    if (HWND page = tabs_[row]->page) {
        ShowWindow(page, SW_SHOW);
        EnableWindow(page, TRUE);
        SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // The selected tab last, over the overlap with its neighbours.
    for (std::size_t i = 0; i < tabs_.size(); ++i) {
        if (static_cast<int>(i) != row) InvalidateRect(tabs_[i]->button, nullptr, FALSE);
    }
    InvalidateRect(tabs_[row]->button, nullptr, FALSE);
}

void MinitabWindow::layout(int width, int height) {
    if (!window_) return;
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::vector<int> widths;
    for (const auto& tab : tabs_) widths.push_back(tab->width);
    MinitabLayout geometry = LayoutMinitab(width, height, widths, tabHeight_);
    for (std::size_t i = 0; i < tabs_.size(); ++i) {
        if (tabs_[i]->page) Place(tabs_[i]->page, geometry.page);
        SetWindowPos(tabs_[i]->button, nullptr, geometry.tabs[i].x, geometry.tabs[i].y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    tabPositions_ = geometry.tabs;
    Place(GetDlgItem(window_, LOGO_BTTN), geometry.logo);
    Place(GetDlgItem(window_, EXIT_BTTN), geometry.exitButton);
    Place(GetDlgItem(window_, HELP_BTTN), geometry.helpButton);
    Place(GetDlgItem(window_, SIZE_BTTN), geometry.sizeButton);
    Place(GetDlgItem(window_, ON_BTTN), geometry.onOffButton);
    Place(caption_, geometry.caption);
    captionFits_ = geometry.captionShown;
    showCaption();
    repaintAll();
}

void MinitabWindow::showStatus(const std::string& text) {
    if (!window_) return;
    setCaption(text);
    SetTimer(window_, TOOLTIP_TIMER, kTooltipMs, nullptr);
}

void MinitabWindow::showHint(int stringId) {
    if (!window_) return;
    char text[256] = {};
    LoadStringA(resources_, static_cast<UINT>(stringId), text, sizeof text);
    showStatus(text);
}

void MinitabWindow::startFlash() {
    if (!window_) return;
    flash_.Start();
    SetTimer(window_, ALERT_FLASH, kFlashIntervalMs, nullptr);
}

void MinitabWindow::placeBarButton(HWND barToolbar) {
    removeBarButton();
    HWND frame = barToolbar ? GetParent(barToolbar) : nullptr;
    if (!window_ || !frame) return;
    RECT client;
    GetClientRect(barToolbar, &client);
    POINT origin = {0, 0};
    ClientToScreen(barToolbar, &origin);
    ScreenToClient(frame, &origin);
    barButton_ = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, origin.x,
                                 origin.y, client.right, client.bottom, frame,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(BAR_BUTTON)),
                                 resources_, nullptr);
    if (barButton_ && !barFrame_.attach(frame)) removeBarButton();
}

void MinitabWindow::refreshOnButton() {
    HWND button = window_ ? GetDlgItem(window_, ON_BTTN) : nullptr;
    if (!button) return;
    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    SendMessageA(button, BM_SETSTATE, FALSE, 0);
}

void MinitabWindow::onCommand(int id) {
    if (!owner_ || !pointerInside()) return;
    switch (id) {
        case LOGO_BTTN:
            owner_->OpenHomePage();
            return;
        case EXIT_BTTN:
            owner_->HideBar();
            return;
        case HELP_BTTN:
            owner_->OpenHelp();
            return;
        case SIZE_BTTN:
            owner_->ToggleBandVisibility();
            repaintAll();
            return;
        case ON_BTTN:
            owner_->SetGuardLevelQuickly(NextQuickLevel(owner_->GuardLevel()));
            refreshOnButton();
            return;
    }
    int row = rowOfButton(id);
    if (row < 0) return;
    const int pageId = tabs_[row]->pageId;
    TabClick click = OnTabClick(owner_->IsMaximised(), row == selected_);
    if (click.changeSize) owner_->SetBandVisibility(click.maximiseTo, true);
    selectPage(pageId);
    repaintAll();
}

void MinitabWindow::onDrawItem(const DRAWITEMSTRUCT& item) {
    const bool maximised = owner_ && owner_->IsMaximised();
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    switch (item.CtlID) {
        case LOGO_BTTN:
            PaintLogo(item.hDC, item.rcItem, picture(maximised ? IDB_LOGO : IDB_LOGO_MINIMISED),
                      maximised, pushed);
            return;
        case EXIT_BTTN:
            PaintSmallButton(item.hDC, item.rcItem, picture(IDB_EXIT), pushed);
            return;
        case HELP_BTTN:
            PaintSmallButton(item.hDC, item.rcItem, picture(IDB_HELP), pushed);
            return;
        case SIZE_BTTN:
            PaintSmallButton(item.hDC, item.rcItem,
                             picture(maximised ? IDB_SIZE_MAXIMISED : IDB_SIZE_MINIMISED), pushed);
            return;
        case ON_BTTN: {
            const bool full = owner_ && owner_->GuardLevel() == 2;
            PaintSmallButton(item.hDC, item.rcItem, picture(full ? IDB_ON_OFF_ON : IDB_ON_OFF_OFF),
                             pushed);
            return;
        }
    }
    const int row = rowOfButton(static_cast<int>(item.CtlID));
    const int count = static_cast<int>(tabs_.size());
    const Picture label = row >= 0 ? PictureOf(tabs_[row]->label.get()) : picture(IDB_TAB_OTHER);
    const COLORREF base = GetSysColor(COLOR_MENU);
    const int width = item.rcItem.right - item.rcItem.left;
    const int height = item.rcItem.bottom - item.rcItem.top;
    const TabPlace place =
        row >= 0 ? PlaceOfTab(row, selected_, count) : TabPlace{TabState::Plain, false};
    const int saved = SaveDC(item.hDC);
    if (maximised && row >= 0 && tabPositions_.size() == tabs_.size()) {
        // Leave out what the neighbours lying over this tab cover.
        for (int other : TabsCovering(row, selected_, count)) {
            const TabEntry& neighbour = *tabs_[other];
            Picture neighbourLabel = PictureOf(neighbour.label.get());
            TabShape cover =
                ShapeTab(PlaceOfTab(other, selected_, count), true, neighbour.width, tabHeight_,
                         neighbourLabel.size.cx, neighbourLabel.size.cy, base);
            HRGN region = RegionOf(cover, tabPositions_[other].x - tabPositions_[row].x);
            ExtSelectClipRgn(item.hDC, region, RGN_DIFF);
            DeleteObject(region);
        }
    }
    PaintTab(item.hDC,
             ShapeTab(place, maximised, width, height, label.size.cx, label.size.cy, base), label);
    RestoreDC(item.hDC, saved);
}

void MinitabWindow::onFlashTick() {
    FlashAlert::Tick tick = flash_.OnTick();
    if (tick.stopTimer) KillTimer(window_, ALERT_FLASH);
    if (tick.repaint) {
        showCaption();
        repaintAll();
    }
}

void MinitabWindow::onTooltipTimer() {
    KillTimer(window_, TOOLTIP_TIMER);
    if (owner_) setCaption(owner_->StatusText());
}

bool MinitabWindow::pointerInside() const {
    POINT pointer;
    RECT r;
    if (!GetCursorPos(&pointer) || !GetWindowRect(window_, &r)) return false;
    return Rect{r.left, r.top, r.right, r.bottom}.containsInclusive({pointer.x, pointer.y});
}

void MinitabWindow::repaintAll() {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MinitabWindow::setCaption(const std::string& text) {
    if (!caption_ || text == captionText_) return;
    captionText_ = text;
    SetWindowTextA(caption_, text.c_str());
}

void MinitabWindow::showCaption() {
    if (caption_) ShowWindow(caption_, captionFits_ && !flash_.dark() ? SW_SHOW : SW_HIDE);
}

void MinitabWindow::removeBarButton() {
    barFrame_.detach();
    if (barButton_ && IsWindow(barButton_)) DestroyWindow(barButton_);
    barButton_ = nullptr;
}

int MinitabWindow::rowOfButton(int buttonId) const {
    for (std::size_t i = 0; i < tabs_.size(); ++i) {
        if (tabs_[i]->buttonId == buttonId) return static_cast<int>(i);
    }
    return -1;
}

Picture MinitabWindow::picture(int bitmapId) const {
    for (const auto& p : pictures_) {
        if (p.first == bitmapId) return PictureOf(p.second.get());
    }
    return {nullptr, {0, 0}};
}

HBRUSH MinitabWindow::backgroundBrush() const {
    return flash_.dark() ? flashBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT MinitabWindow::setCursorOverLink() {
    SetCursor(linkCursor_ ? linkCursor_
                          : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return TRUE;
}

}  // namespace qm::band
