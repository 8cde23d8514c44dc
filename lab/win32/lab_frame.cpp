#include "lab/win32/lab_frame.h"

#include <commctrl.h>

#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/lab_element.h"
#include "lab/trace_lines.h"
#include "lab/win32/user_actions.h"

namespace qm::lab {
namespace {

const char kFrameClass[] = "IEFrame";
const char kPageClass[] = "QuellmarkLabPage";
const char kBarClass[] = "QuellmarkLabBar";
constexpr int kToolbarWidth = 24;
constexpr int kCloseCommand = 1;

void RegisterOnce(const char* name, WNDPROC procedure, UINT style) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (GetClassInfoA(instance, name, &existing)) return;
    WNDCLASSA windowClass = {};
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
}

LabFrame* FrameOf(HWND window) {
    return reinterpret_cast<LabFrame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void Bind(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
}

int g_cascade = 0;

}  // namespace

LabFrame::LabFrame(Lab& lab, win32::ComPtr<LabBrowser> browser, Options options)
    : lab_(lab), browser_(std::move(browser)) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterOnce(kFrameClass, &LabFrame::FrameProc, 0);
    RegisterOnce(kPageClass, &LabFrame::PageProc, CS_HREDRAW | CS_VREDRAW);
    RegisterOnce(kBarClass, &LabFrame::BarProc, 0);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    int offset = 20 + 30 * (g_cascade++ % 8);
    window_ = CreateWindowExA(0, kFrameClass, "Quellmark Lab",
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, offset, offset, options.width,
                              options.height, nullptr, nullptr, instance, this);
    if (!window_) return;
    page_ = CreateWindowExA(WS_EX_CLIENTEDGE, kPageClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                            window_, nullptr, instance, this);
    if (!options.band.empty()) {
        bar_ = CreateWindowExA(0, kBarClass, "", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, window_,
                               nullptr, instance, this);
        toolbar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST |
                                       CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                                   0, 0, kToolbarWidth, 22, bar_, nullptr, instance, nullptr);
        SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        TBBUTTON close = {};
        close.iBitmap = I_IMAGENONE;
        close.idCommand = kCloseCommand;
        close.fsState = TBSTATE_ENABLED;
        close.fsStyle = TBSTYLE_BUTTON;
        close.iString = SendMessageA(toolbar_, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>("x\0"));
        SendMessageA(toolbar_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&close));
        band_ = std::make_unique<BandHost>(lab_.trace(), lab_.scheduler(), bar_, browser_.get(),
                                           options.band, [this] { layout(); });
    }
    browser_->setHost(this);
    layout();
    pageChanged();
}

LabFrame::~LabFrame() {
    if (window_) DestroyWindow(window_);
}

void LabFrame::show() {
    if (!window_) return;
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
}

void LabFrame::onDestroy() {
    // The bar closes with its window, as in the browser.
    if (band_) band_->close();
    band_.reset();
    if (browser_->host() == this) browser_->setHost(nullptr);
    pressed_.reset();
    hovered_.reset();
    window_ = nullptr;
}

void LabFrame::layout() {
    if (!window_) return;
    RECT client;
    GetClientRect(window_, &client);
    int width = client.right;
    int barHeight = band_ && band_->isOpen() && band_->isShown() ? band_->height() : 0;
    if (bar_) {
        SetWindowPos(
            bar_, nullptr, 0, client.bottom - barHeight, width, barHeight,
            SWP_NOZORDER | SWP_NOACTIVATE | (barHeight > 0 ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        if (band_) band_->place(width, kToolbarWidth);
    }
    SetWindowPos(page_, nullptr, 0, 0, width, client.bottom - barHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void LabFrame::resize(int width, int height) {
    if (!window_) return;
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT r;
    GetWindowRect(window_, &r);
    lab_.trace().add(lines::BrowserSize(r.right - r.left, r.bottom - r.top, "user"));
}

bool LabFrame::openBar() {
    if (!band_ || !window_) return false;
    return band_->open();
}

bool LabFrame::barMenu(const std::string& item, const POINT* point) {
    return band_ && band_->isOpen() && band_->contextMenu(item, point);
}

bool LabFrame::showBand(bool show) {
    return band_ && band_->isOpen() && band_->show(show);
}

void LabFrame::closeBar() {
    if (band_) band_->close();
}

bool LabFrame::barVisible() const {
    return band_ && band_->bandWindowVisible();
}

HRESULT LabFrame::showBrowserBar(const std::wstring& clsid, bool show) {
    if (!band_ || !band_->isBandClass(clsid)) return E_INVALIDARG;
    // The bar opens or closes after the caller returns: the band may be
    // the caller, and closing releases it.
    HWND window = window_;
    lab_.scheduler().after(0, [window, show] {
        LabFrame* frame = window && IsWindow(window) ? FrameOf(window) : nullptr;
        if (!frame) return;
        if (show) {
            frame->openBar();
        } else {
            frame->closeBar();
        }
    });
    return S_OK;
}

void LabFrame::pageChanged() {
    if (!window_) return;
    LabDocument* document = browser_->document();
    std::string title = "Quellmark Lab";
    if (document && document->hasTitle()) {
        title = document->title() + " - " + title;
    } else if (!browser_->url().empty()) {
        title = browser_->url() + " - " + title;
    }
    SetWindowTextA(window_, title.c_str());
    // The elements under the mouse belonged to the page shown before.
    pressed_.reset();
    hovered_.reset();
    InvalidateRect(page_, nullptr, TRUE);
}

namespace {

constexpr int kLineHeight = 16;
constexpr int kTopMargin = 4;

std::string ElementName(const LabElement& element) {
    return element.id().empty() ? element.tag() : element.id();
}

}  // namespace

std::vector<LabFrame::PageLine> LabFrame::pageLines() const {
    std::vector<PageLine> lines;
    LabDocument* document = browser_->document();
    if (!document) {
        lines.push_back({"(no page)", 0, {}});
        return lines;
    }
    lines.push_back({document->hasTitle() ? document->title() : "(untitled)", 0, {}});
    lines.push_back({document->url(), 0, {}});
    addDocumentLines(*document, 0, lines);
    return lines;
}

void LabFrame::addDocumentLines(LabDocument& document, int depth, std::vector<PageLine>& lines) {
    for (const auto& element : document.elements()) {
        const std::string& tag = element->tag();
        if (tag == "HTML" || tag == "HEAD" || tag == "SCRIPT" || tag == "FRAME") continue;
        int level = depth;
        for (LabElement* p = element->parent(); p && p->tag() != "HTML"; p = p->parent()) ++level;
        std::string text = "<" + tag;
        if (!element->id().empty()) text += " id=" + element->id();
        if (!element->href().empty()) text += " href=" + element->href();
        lines.push_back({text + ">", level, element});
    }
    for (const auto& frame : document.frames()) {
        lines.push_back({"[frame " + frame->windowName() + "] " + frame->url(), depth + 1, {}});
        if (LabDocument* inner = frame->document()) addDocumentLines(*inner, depth + 2, lines);
    }
}

LabElement* LabFrame::elementAt(int y) const {
    if (y < kTopMargin) return nullptr;
    std::vector<PageLine> lines = pageLines();
    std::size_t index = static_cast<std::size_t>((y - kTopMargin) / kLineHeight);
    return index < lines.size() ? lines[index].element.get() : nullptr;
}

void LabFrame::paintPage(HDC dc, const RECT& area) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    int y = area.top + kTopMargin;
    for (const PageLine& line : pageLines()) {
        TextOutA(dc, area.left + 6 + line.indent * 12, y, line.text.c_str(),
                 static_cast<int>(line.text.size()));
        y += kLineHeight;
    }
    SelectObject(dc, oldFont);
}

void LabFrame::onMouse(UINT message, int x, int y) {
    win32::ComPtr<LabElement> element(elementAt(y));
    Trace& trace = lab_.trace();
    switch (message) {
        case WM_MOUSEMOVE:
            if (element.get() == hovered_.get()) return;
            if (hovered_) {
                trace.add(lines::User("leave", ElementName(*hovered_.get())));
                Leave(*hovered_.get());
            }
            hovered_ = element;
            if (element) {
                trace.add(lines::User("hover", ElementName(*element.get())));
                Hover(*element.get());
            }
            return;
        case WM_LBUTTONDOWN:
            pressed_ = element;
            if (!element) return;
            SetCapture(page_);
            trace.add(lines::User("press", ElementName(*element.get())));
            Press(*element.get());
            return;
        case WM_LBUTTONUP: {
            ReleaseCapture();
            win32::ComPtr<LabElement> pressed = std::move(pressed_);
            if (!element) return;
            trace.add(lines::User("release", ElementName(*element.get())));
            Release(*element.get());
            if (pressed.get() == element.get()) Clicked(*element.get());
            return;
        }
        case WM_RBUTTONUP: {
            if (!element) return;
            trace.add(lines::User("right-click", ElementName(*element.get())));
            RightClick(*element.get());
            HMENU menu = CreatePopupMenu();
            UINT state = element->enclosingLink() ? MF_ENABLED : MF_GRAYED;
            AppendMenuA(menu, MF_STRING | state, 1, "Open in &New Window");
            POINT at = {x, y};
            ClientToScreen(page_, &at);
            int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, page_,
                                        nullptr);
            DestroyMenu(menu);
            if (chosen == 1 && element->document()) {
                trace.add(lines::User("open-in-new-window", ElementName(*element.get())));
                OpenInNewWindow(*element.get());
            }
            return;
        }
    }
}

LRESULT CALLBACK LabFrame::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Bind(window, message, lParam);
    LabFrame* frame = FrameOf(window);
    switch (message) {
        case WM_SIZE:
            if (frame && frame->window_) frame->layout();
            return 0;
        case WM_DESTROY:
            if (frame) frame->onDestroy();
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK LabFrame::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Bind(window, message, lParam);
    LabFrame* frame = FrameOf(window);
    if (frame && (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
                  message == WM_RBUTTONUP)) {
        frame->onMouse(message, static_cast<short>(LOWORD(lParam)),
                       static_cast<short>(HIWORD(lParam)));
        return 0;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        if (frame) frame->paintPage(dc, area);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK LabFrame::BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Bind(window, message, lParam);
    LabFrame* frame = FrameOf(window);
    if (message == WM_COMMAND && LOWORD(wParam) == kCloseCommand && frame) {
        // The band must not be released inside its own window's message.
        HWND top = GetParent(window);
        frame->lab_.scheduler().after(0, [top] {
            if (LabFrame* owner = IsWindow(top) ? FrameOf(top) : nullptr) owner->closeBar();
        });
        return 0;
    }
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace qm::lab
