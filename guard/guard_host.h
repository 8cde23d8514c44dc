#pragma once
// What the decision engine needs from the band that owns it: its window,
// its browser and its face. The band implements it; tests fake it.

#include <cstdint>
#include <string>

#include "guard/capture.h"
#include "guard/decision_note.h"
#include "guard/popup_record.h"

namespace qm {

class GuardHost {
public:
    virtual ~GuardHost() = default;

    virtual bool IsBandWindowVisible() = 0;
    // Whether the user holds Ctrl down now, as the band's thread sees it.
    virtual bool IsCtrlHeld() = 0;
    // The URL of the top-level document of the band's browser; empty without one.
    virtual std::wstring PageAddress() = 0;
    // The band browser's LocationName and LocationURL.
    virtual std::wstring LocationName() = 0;
    virtual std::wstring LocationUrl() = 0;

    // Stops the click window's timer (the engine clears the click flags itself).
    virtual void KillClickTimer() = 0;
    // A new capture holding one reference for the caller, or null.
    virtual Capture* CreateCapture(std::int32_t level) = 0;
    virtual void OpenInNewWindow(const PopupRecord& record) = 0;
    // Shows a record that the engine has just added to its list.
    virtual void AddRecord(const PopupRecord& record) = 0;
    // Takes away what shows a record the engine is about to destroy.
    virtual void RemoveRecord(const PopupRecord& record) = 0;
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void StartFlash() = 0;
    virtual void CheckVisible() = 0;
    // Every decision as it is taken, with what it was taken on.
    virtual void Decided(const DecisionNote& note) = 0;
};

}  // namespace qm
