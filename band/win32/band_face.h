#pragma once
// Everything the user sees of the band, built inside the band window: the
// minitab with its tabs and buttons, the "Popup Windows", "Tools" and
// "Preferences" pages, the band's context menu and the About box. The band
// object owns one and hands it the decision engine's calls.

#include <windows.h>
#include <shobjidl.h>

#include <memory>
#include <string>

#include "band/win32/face_host.h"
#include "band/win32/minitab_window.h"
#include "band/win32/popup_list_page.h"
#include "band/win32/preferences_page.h"

namespace qm::band {

class BandFace final : private MinitabOwner {
public:
    // `resources`: the module holding the face's dialogs, pictures and texts.
    BandFace(FaceHost& host, HINSTANCE resources);
    ~BandFace();
    BandFace(const BandFace&) = delete;
    BandFace& operator=(const BandFace&) = delete;

    // Builds the minitab and the pages in `bandWindow`, shows the stored
    // settings, adds the three tabs and selects "Popup Windows". Records the
    // band already keeps are listed again. False when the minitab cannot be made.
    bool Build(HWND bandWindow);
    // The band window's new client size.
    void Resize(int width, int height);

    // The decision engine's calls.
    void AddRecord(const PopupRecord& record);
    void RemoveRecord(const PopupRecord& record);
    void ShowStatus(const std::string& text);
    void StartFlash();

    // Puts the bar button over the browser's bar toolbar (already hidden).
    void PlaceBarButton(HWND barToolbar);
    // The parent of the hidden windows of stopped popups; null before Build.
    HWND CaptureParent() const;
    HWND Minitab() const { return minitab_ ? minitab_->window() : nullptr; }

    // IContextMenu of the band, answered here.
    HRESULT QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags);
    HRESULT InvokeCommand(const CMINVOKECOMMANDINFO* info);
    HRESULT GetCommandString(UINT_PTR command, UINT type, LPSTR name, UINT size);

    void ShowAbout() override;

private:
    // MinitabOwner
    bool IsMaximised() override;
    std::int32_t GuardLevel() override;
    std::string StatusText() override;
    void OpenHomePage() override;
    void OpenHelp() override;
    void HideBar() override;
    void ToggleBandVisibility() override;
    void SetBandVisibility(bool maximised, bool save) override;
    void SetGuardLevelQuickly(std::int32_t level) override;
    void HoldLife() override { host_.HoldLife(); }
    void LetLife() override { host_.LetLife(); }

    FaceHost& host_;
    HINSTANCE resources_;
    std::unique_ptr<MinitabWindow> minitab_;
    std::unique_ptr<PopupListPage> popupPage_;
    std::unique_ptr<PreferencesPage> preferences_;
};

}  // namespace qm::band
