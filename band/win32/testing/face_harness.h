#pragma once
// What the Wine tests of the band's face stand on: a fake band that keeps
// its settings in the real registry and logs every operation the face asks
// for, a frame window with a bar toolbar and a band window of the browser's
// sizes, a message pump and screenshots from the X display.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "band/win32/band_face.h"
#include "band/win32/face_host.h"

namespace qm::band::testing {

constexpr int kMaximisedHeight = 104;
constexpr int kMinimisedHeight = 18;
constexpr int kBarStripHeight = 20;

struct RuleRequest {
    std::uint16_t flags;
    std::string popupAddress;
    std::string sourceAddress;
};

class FakeFaceHost : public FaceHost {
public:
    FakeFaceHost();

    const Settings& LiveSettings() override { return settings; }
    void ChangeSetting(std::int32_t Settings::*field, std::int32_t value, bool save) override;
    std::string StatusText() override { return status; }
    const std::vector<std::unique_ptr<PopupRecord>>& Records() override { return records; }
    void ClearRecords() override;
    void OpenInNewWindow(const PopupRecord& record) override;
    void AddRule(std::uint16_t flags, const std::string& popupAddress,
                 const std::string& sourceAddress) override;
    void HideBar() override { ++hideBarCalls; }
    void ToggleBandVisibility() override;
    void SetBandVisibility(bool on, bool save) override;
    std::string ModulePath() override { return "C:\\Program Files\\Quellmark\\quellmark.dll"; }
    HWND CreateToolsPage(HWND minitab) override;
    void ShellOpen(const std::string& target) override { shellOpened.push_back(target); }
    void HoldLife() override { ++holds; }
    void LetLife() override { --holds; }

    Settings settings;
    std::string status = "session statistics: 0 stopped popups";
    std::vector<std::unique_ptr<PopupRecord>> records;
    std::vector<PopupRecord> opened;
    std::vector<bool> aboutBoxOpenWhenOpening;
    std::vector<RuleRequest> rules;
    std::vector<std::string> shellOpened;
    int hideBarCalls = 0;
    int clearCalls = 0;
    int holds = 0;
    HWND bandWindow = nullptr;  // resized like the browser does on a size change
};

// A frame on the screen: the bar toolbar in a strip at the top right and
// the band window below it, with the face built inside the band window.
class FaceHarness {
public:
    explicit FaceHarness(int bandWidth = 760);
    ~FaceHarness();
    FaceHarness(const FaceHarness&) = delete;
    FaceHarness& operator=(const FaceHarness&) = delete;

    // Keeps a record the way the decision engine does, then shows it.
    const PopupRecord& Keep(const PopupRecord& record);
    HWND Minitab() const { return face.Minitab(); }
    HWND Control(int id) const { return GetDlgItem(Minitab(), id); }
    // A control of one of the pages.
    HWND PageControl(int id) const;
    // Clicks a button with the pointer resting on it.
    void Click(HWND button);
    void ResizeBand(int width, int height);

    FakeFaceHost host;
    BandFace face;
    HWND frame = nullptr;
    HWND band = nullptr;
    HWND toolbar = nullptr;
};

// Runs the thread's messages for `ms` milliseconds.
void Pump(DWORD ms);
// Runs messages until `done` holds or `timeoutMs` passed; whether it held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Puts the pointer on the middle of `window`, or on a point of the screen,
// and waits until the system reports it there.
void PointAt(HWND window);
void MovePointer(int x, int y);
std::string TextOf(HWND window);
// The colour at a point of `window`'s client area as it is on the screen.
COLORREF PixelOf(HWND window, int x, int y);

// Runs `action` on the thread's modal dialog titled `caption` once it is up;
// the caller then starts the dialog. A dialog still open after some seconds
// is cancelled, and the function below tells whether that happened.
void WhenDialogOpens(const char* caption, std::function<void(HWND)> action);
bool DialogWasForcedClosed();
HWND FindThreadDialog(const char* caption);

// Saves the window as it is on the X display as screenshots/<name>.png in
// the test program's folder. Does nothing outside Wine or without a display.
void SaveScreenshot(const std::string& name, HWND window);

// The settings key of the real registry.
void DeleteSettingsKey();
DWORD StoredSetting(const char* name);
void StoreSetting(const char* name, DWORD value);

}  // namespace qm::band::testing
