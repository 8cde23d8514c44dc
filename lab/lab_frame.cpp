#include "lab/lab_frame.h"

#include <commctrl.h>

#include "lab/lab_browser.h"
#include "lab/lab_document.h"
#include "lab/lab_element.h"
#include "lab/trace_lines.h"

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
        band_ = std::make_unique<BandHost>(lab_.trace(), bar_, browser_.get(), options.band,
                                           [this] { layout(); });
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
    window_ = nullptr;
}

void LabFrame::layout() {
    if (!window_) return;
    RECT client;
    GetClientRect(window_, &client);
    int width = client.right;
    int barHeight = band_ && band_->isOpen() ? band_->height() : 0;
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
    InvalidateRect(page_, nullptr, TRUE);
}

void LabFrame::paintPage(HDC dc, const RECT& area) {
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    int y = area.top + 4;
    auto line = [&](const std::string& text, int indent) {
        TextOutA(dc, area.left + 6 + indent * 12, y, text.c_str(), static_cast<int>(text.size()));
        y += 16;
    };
    LabDocument* document = browser_->document();
    if (!document) {
        line("(no page)", 0);
    } else {
        line(document->hasTitle() ? document->title() : "(untitled)", 0);
        line(document->url(), 0);
        for (const auto& element : document->elements()) {
            const std::string& tag = element->tag();
            if (tag == "HTML" || tag == "HEAD" || tag == "SCRIPT") continue;
            int depth = 0;
            for (LabElement* p = element->parent(); p; p = p->parent()) ++depth;
            std::string text = "<" + tag;
            if (!element->id().empty()) text += " id=" + element->id();
            if (!element->href().empty()) text += " href=" + element->href();
            line(text + ">", depth - 1);
        }
        for (const auto& frame : document->frames()) {
            line("[frame " + frame->windowName() + "] " + frame->url(), 1);
        }
    }
    SelectObject(dc, oldFont);
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
