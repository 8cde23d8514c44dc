#include "band/win32/preferences_page.h"

#include <utility>

#include "common/win32/classic_look.h"
#include "band/resources/face_ids.h"

namespace qm::band {
namespace {

const char* const kLevelTexts[] = {"No Protection", "Record Only", "Riva Roravo!"};

}  // namespace

PreferencesPage::PreferencesPage(FaceHost& host, HINSTANCE resources,
                                 std::function<void()> levelShown)
    : host_(host),
      resources_(resources),
      levelShown_(std::move(levelShown)),
      clearOnUnload_{IDC_CLEAR_ON_UNLOAD, &Settings::ClearOnUnload},
      allowFlashScripts_{IDC_ALLOW_FLASH_SCRIPTS, &Settings::AllowFlashScripts},
      loadBare_{IDC_LOAD_BARE, &Settings::LoadBare},
      flashAlert_{IDC_FLASH_ALERT, &Settings::FlashAlert},
      completeBlock_{IDC_COMPLETE_BLOCK, &Settings::CompleteBlock} {}

PreferencesPage::~PreferencesPage() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

bool PreferencesPage::create(HWND parent) {
    if (window_) return true;
    CreateDialogParamA(resources_, MAKEINTRESOURCEA(IDD_PREFERENCES), parent, DialogProcedure,
                       reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

INT_PTR CALLBACK PreferencesPage::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<PreferencesPage*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        self->window_ = window;
        self->onInit();
        return FALSE;
    }
    auto* self = reinterpret_cast<PreferencesPage*>(GetWindowLongPtrA(window, DWLP_USER));
    if (!self) return FALSE;
    switch (message) {
        case WM_COMMAND:
            self->onCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, DWLP_USER, 0);
            self->window_ = nullptr;
            self->levels_ = nullptr;
            return FALSE;
    }
    return FALSE;
}

void PreferencesPage::onInit() {
    levels_ = GetDlgItem(window_, IDC_GUARD_LEVEL);
    for (int i = static_cast<int>(SendMessageA(levels_, CB_GETCOUNT, 0, 0)) - 1; i >= 0; --i) {
        SendMessageA(levels_, CB_DELETESTRING, i, 0);
    }
    for (const char* text : kLevelTexts) {
        SendMessageA(levels_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    win32::UseClassicLook(window_);
}

void PreferencesPage::onCommand(int id, int code) {
    if (id == IDC_GUARD_LEVEL) {
        if (code != CBN_SELCHANGE) return;
        int selected = static_cast<int>(SendMessageA(levels_, CB_GETCURSEL, 0, 0));
        setGuardLevel(selected, true);
        if (levelShown_) levelShown_();
        return;
    }
    Switch* which = switchOf(id);
    if (!which || code != BN_CLICKED) return;
    std::int32_t value = IsDlgButtonChecked(window_, id) == BST_CHECKED ? 1 : 0;
    if (which == &completeBlock_) {
        setCompleteBlock(value, true);
    } else {
        setSwitch(*which, value, true);
    }
}

void PreferencesPage::showSettings(const Settings& settings) {
    const Settings stored = settings;
    setGuardLevel(stored.GuardLevel, false);
    setClearOnUnload(stored.ClearOnUnload, false);
    setLoadBare(stored.LoadBare, false);
    setAllowFlashScripts(stored.AllowFlashScripts, false);
    setFlashAlert(stored.FlashAlert, false);
    setCompleteBlock(stored.CompleteBlock, false);
}

void PreferencesPage::setGuardLevel(std::int32_t level, bool save) {
    if (levels_) SendMessageA(levels_, CB_SETCURSEL, level, 0);
    // Nothing outside the three levels reaches the band or the registry.
    if (level < 0 || level > 2) return;
    host_.ChangeSetting(&Settings::GuardLevel, level, save);
}

void PreferencesPage::setClearOnUnload(std::int32_t value, bool save) {
    setSwitch(clearOnUnload_, value, save);
}

void PreferencesPage::setAllowFlashScripts(std::int32_t value, bool save) {
    setSwitch(allowFlashScripts_, value, save);
}

void PreferencesPage::setLoadBare(std::int32_t value, bool save) {
    setSwitch(loadBare_, value, save);
}

void PreferencesPage::setFlashAlert(std::int32_t value, bool save) {
    setSwitch(flashAlert_, value, save);
}

void PreferencesPage::setCompleteBlock(std::int32_t value, bool save) {
    setSwitch(completeBlock_, value, save);
    if (levels_) EnableWindow(levels_, value == 0);
}

void PreferencesPage::setSwitch(const Switch& which, std::int32_t value, bool save) {
    if (window_) CheckDlgButton(window_, which.controlId, value ? BST_CHECKED : BST_UNCHECKED);
    host_.ChangeSetting(which.field, value ? 1 : 0, save);
}

PreferencesPage::Switch* PreferencesPage::switchOf(int controlId) {
    for (Switch* which :
         {&clearOnUnload_, &allowFlashScripts_, &loadBare_, &flashAlert_, &completeBlock_}) {
        if (which->controlId == controlId) return which;
    }
    return nullptr;
}

}  // namespace qm::band
