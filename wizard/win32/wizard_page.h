#pragma once
// One page of a wizard-mode property sheet. The page binds itself at
// WM_INITDIALOG, turns the sheet's notifications into virtual calls and
// draws the program's logo at its top-left corner, or shows the fallback
// bitmap (static 1004) when the picture cannot be loaded or drawn.

#include <windows.h>
#include <prsht.h>

#include <string>

#include "common/win32/gdi_objects.h"
#include "wizard/win32/logo_picture.h"

namespace qm::win32 {

constexpr int kLogoFallbackStatic = 1004;

class WizardPage {
public:
    // `logoJpeg`: the program's "JPG" resource drawn on every page;
    // `logoFallback`: its packed bitmap, shown when the JPEG fails.
    WizardPage(HINSTANCE instance, int dialog, int logoJpeg, int logoFallback);
    virtual ~WizardPage() = default;
    WizardPage(const WizardPage&) = delete;
    WizardPage& operator=(const WizardPage&) = delete;

    // The page's description for PropertySheet; the template's caption is the title.
    PROPSHEETPAGEA describe();

protected:
    HWND window() const { return window_; }
    HWND sheet() const { return GetParent(window_); }
    HINSTANCE instance() const { return instance_; }

    virtual void onInit() {}
    virtual void onSetActive() {}
    // Next or Back pressed: false keeps the page.
    virtual bool onNext() { return true; }
    virtual bool onBack() { return true; }
    // The frame's Cancel or close box: false keeps the wizard open.
    virtual bool onQueryCancel() { return true; }
    virtual void onCommand(int /*id*/, int /*code*/) {}
    virtual void onTimer(UINT_PTR /*id*/) {}
    // Messages of WM_APP and above, for work posted to the page itself.
    virtual void onAppMessage(UINT /*message*/) {}

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR onNotify(const NMHDR& header);
    void loadLogo();
    void paint();
    void showFallbackLogo();

    HINSTANCE instance_;
    int dialog_;
    int logoJpeg_;
    int logoFallback_;
    HWND window_ = nullptr;
    LogoPicture logo_;
    band::Bitmap fallbackLogo_;
};

// The text of a window, at most 260 characters.
std::string WindowText(HWND window);

// A message box over the wizard with the program's caption.
int ShowMessage(HWND owner, const std::string& text, UINT type = MB_OK);

// The caption of message boxes: string 1 of the program, its wizard caption.
std::string ProgramCaption();

}  // namespace qm::win32
