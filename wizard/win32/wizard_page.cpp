#include "wizard/win32/wizard_page.h"

#include "wizard/win32/packed_bitmap.h"

namespace qm::win32 {

WizardPage::WizardPage(HINSTANCE instance, int dialog, int logoJpeg, int logoFallback)
    : instance_(instance), dialog_(dialog), logoJpeg_(logoJpeg), logoFallback_(logoFallback) {}

PROPSHEETPAGEA WizardPage::describe() {
    PROPSHEETPAGEA page{};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = instance_;
    page.pszTemplate = MAKEINTRESOURCEA(dialog_);
    page.pfnDlgProc = &WizardPage::DialogProc;
    page.lParam = reinterpret_cast<LPARAM>(this);
    return page;
}

INT_PTR CALLBACK WizardPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page =
            reinterpret_cast<WizardPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->window_ = window;
    }
    auto* page = reinterpret_cast<WizardPage*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!page) return FALSE;
    INT_PTR result = page->handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        page->window_ = nullptr;
    }
    return result;
}

INT_PTR WizardPage::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            loadLogo();
            onInit();
            return TRUE;
        case WM_PAINT:
            paint();
            return TRUE;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_TIMER:
            onTimer(wParam);
            return TRUE;
        default:
            if (message >= WM_APP && message <= 0xBFFF) {
                onAppMessage(message);
                return TRUE;
            }
            return FALSE;
    }
}

INT_PTR WizardPage::onNotify(const NMHDR& header) {
    LONG_PTR result = 0;
    switch (header.code) {
        case PSN_SETACTIVE:
            onSetActive();
            break;
        case PSN_WIZNEXT:
            result = onNext() ? 0 : -1;
            break;
        case PSN_WIZBACK:
            result = onBack() ? 0 : -1;
            break;
        case PSN_QUERYCANCEL:
            result = onQueryCancel() ? FALSE : TRUE;
            break;
        default:
            return FALSE;
    }
    SetWindowLongPtrA(window_, DWLP_MSGRESULT, result);
    return TRUE;
}

void WizardPage::loadLogo() {
    PictureErrorBox errors(window_);
    if (!logo_.load(instance_, logoJpeg_, "JPG", errors)) showFallbackLogo();
}

void WizardPage::showFallbackLogo() {
    HWND fallback = GetDlgItem(window_, kLogoFallbackStatic);
    if (!fallbackLogo_) {
        fallbackLogo_.reset(LoadPackedBitmap(instance_, logoFallback_));
        SendMessageA(fallback, STM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(fallbackLogo_.get()));
    }
    ShowWindow(fallback, SW_SHOW);
}

void WizardPage::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    bool drawn = !logo_.loaded() || logo_.draw(dc);
    EndPaint(window_, &ps);
    if (!drawn) {
        // Once per page: the fallback bitmap takes the picture's place.
        MessageBoxA(window_, "no go...", nullptr, MB_OK);
        logo_ = LogoPicture();
        showFallbackLogo();
    }
}

std::string WindowText(HWND window) {
    // Whole, however long: a folder cut short would install somewhere else.
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    int length = GetWindowTextA(window, &text[0], static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

std::string ProgramCaption() {
    char text[128] = {};
    int length = LoadStringA(GetModuleHandleA(nullptr), 1, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

int ShowMessage(HWND owner, const std::string& text, UINT type) {
    return MessageBoxA(owner, text.c_str(), ProgramCaption().c_str(), type);
}

}  // namespace qm::win32
