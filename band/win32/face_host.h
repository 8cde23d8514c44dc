#pragma once
// What the band's face needs from the band object that owns it: the live
// settings, the records of the decision engine, and the band's operations.
// The band implements it; tests fake it.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/win32/keep_alive.h"
#include "guard/popup_record.h"
#include "settings/settings.h"

namespace qm::band {

// Held alive while the face's windows handle a command (it may run a modal loop).
class FaceHost : public win32::LifeHolder {
public:
    // The band's live settings (GuardLevel, BandVisibility, PopupListView, ...).
    virtual const Settings& LiveSettings() = 0;
    // Changes one live setting and, when `save`, writes it to the registry at once.
    virtual void ChangeSetting(std::int32_t Settings::*field, std::int32_t value, bool save) = 0;
    // The decision engine's status text ("session statistics: ...").
    virtual std::string StatusText() = 0;
    // The decision engine's kept records, oldest first.
    virtual const std::vector<std::unique_ptr<PopupRecord>>& Records() = 0;
    // Destroys every kept record (the list's rows are already gone).
    virtual void ClearRecords() = 0;
    // Opens a record as a new window that the guard lets through.
    virtual void OpenInNewWindow(const PopupRecord& record) = 0;
    // Opens the rule editor for a new rule with these flags and addresses.
    virtual void AddRule(std::uint16_t flags, const std::string& popupAddress,
                         const std::string& sourceAddress) = 0;
    virtual void HideBar() = 0;
    virtual void ToggleBandVisibility() = 0;
    virtual void SetBandVisibility(bool on, bool save) = 0;
    // The full file name of quellmark.dll; the help file lies beside it.
    virtual std::string ModulePath() = 0;
    // Creates the "Tools" page as a hidden child dialog of `minitab`; null on failure.
    virtual HWND CreateToolsPage(HWND minitab) = 0;
    // The shell's "open" verb on a file or a "mailto:" address, shown
    // normally; failures are not reported.
    virtual void ShellOpen(const std::string& target);

protected:
    ~FaceHost() = default;
};

}  // namespace qm::band
