#pragma once
// The "Preferences" page: the protection level and five switches. A change
// takes effect in the running band and is written to the registry at once.

#include <windows.h>

#include <cstdint>
#include <functional>

#include "band/win32/face_host.h"

namespace qm::band {

class PreferencesPage {
public:
    // `levelShown` runs after the user picked a level in the list, so the
    // on/off button can show it.
    PreferencesPage(FaceHost& host, HINSTANCE resources, std::function<void()> levelShown);
    ~PreferencesPage();
    PreferencesPage(const PreferencesPage&) = delete;
    PreferencesPage& operator=(const PreferencesPage&) = delete;

    // Dialog 206 as a hidden child of `parent`.
    bool create(HWND parent);
    HWND window() const { return window_; }

    // The stored settings, unsaved, in the band's order at start: level,
    // ClearOnUnload, LoadBare, AllowFlashScripts, FlashAlert, CompleteBlock.
    void showSettings(const Settings& settings);

    // Selects the level in the list; levels 0 to 2 become the band's level.
    void setGuardLevel(std::int32_t level, bool save);
    void setClearOnUnload(std::int32_t value, bool save);
    void setAllowFlashScripts(std::int32_t value, bool save);
    void setLoadBare(std::int32_t value, bool save);
    void setFlashAlert(std::int32_t value, bool save);
    // While on, the level cannot be changed (the list is disabled).
    void setCompleteBlock(std::int32_t value, bool save);

private:
    struct Switch {
        int controlId;
        std::int32_t Settings::*field;
    };

    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void onInit();
    void onCommand(int id, int code);
    void setSwitch(const Switch& which, std::int32_t value, bool save);
    Switch* switchOf(int controlId);

    FaceHost& host_;
    HINSTANCE resources_;
    std::function<void()> levelShown_;
    HWND window_ = nullptr;
    HWND levels_ = nullptr;
    Switch clearOnUnload_;
    Switch allowFlashScripts_;
    Switch loadBare_;
    Switch flashAlert_;
    Switch completeBlock_;
};

}  // namespace qm::band
