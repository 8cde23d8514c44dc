#pragma once
// The band's visible face: a child of the band window that carries the row of
// tabs with their pages, the logo column, the four small buttons, the caption
// with status text and hints, the blink of the alert, and the bar button that
// takes the place of the browser's close toolbar.

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "band/win32/face_painting.h"
#include "band/flash_alert.h"
#include "common/win32/gdi_objects.h"
#include "common/geometry.h"
#include "band/win32/subclassed_window.h"
#include "common/win32/keep_alive.h"

namespace qm::band {

// What the minitab asks of the band that owns it.
// Held alive while the minitab handles a command (it may run a modal loop).
class MinitabOwner : public win32::LifeHolder {
public:
    virtual bool IsMaximised() = 0;
    virtual std::int32_t GuardLevel() = 0;
    virtual std::string StatusText() = 0;
    virtual void OpenHomePage() = 0;
    virtual void OpenHelp() = 0;
    virtual void HideBar() = 0;
    virtual void ToggleBandVisibility() = 0;
    virtual void SetBandVisibility(bool maximised, bool save) = 0;
    // The quick button's level, set as the Preferences page sets it (saved).
    virtual void SetGuardLevelQuickly(std::int32_t level) = 0;
    virtual void ShowAbout() = 0;

protected:
    ~MinitabOwner() = default;
};

constexpr int kMaxTabs = 30;
constexpr UINT kTooltipMs = 2000;

class MinitabWindow {
public:
    explicit MinitabWindow(HINSTANCE resources);
    ~MinitabWindow();
    MinitabWindow(const MinitabWindow&) = delete;
    MinitabWindow& operator=(const MinitabWindow&) = delete;

    void attach(MinitabOwner& owner);
    // A visible child of the band window, with its image buttons and caption.
    bool create(HWND bandWindow);
    HWND window() const { return window_; }

    // Adds a tab for `page` (hidden and disabled until selected); returns the
    // number of tabs. Beyond kMaxTabs nothing is added.
    int addTab(HWND page, const std::string& caption, int pageId, int tabButtonId,
               int labelBitmapId);
    // Shows the page of that id and hides the one shown before; an id no
    // tab carries changes nothing.
    void selectPage(int pageId);
    int selectedPage() const { return selectedPage_; }
    void layout(int width, int height);

    void showStatus(const std::string& text);
    void showHint(int stringId);
    void startFlash();
    // Covers the browser's bar toolbar (hidden by the band) with our own button.
    void placeBarButton(HWND barToolbar);
    void refreshOnButton();

private:
    struct TabEntry {
        int pageId;
        int buttonId;
        int labelBitmapId;
        std::string caption;
        HWND page;
        HWND button;
        int width;
        Bitmap label;
    };

    // A button of the minitab: the link cursor over it and, for the image
    // buttons, the button's hint in the caption while the mouse moves over it.
    class ButtonHook : public SubclassedWindow {
    public:
        ButtonHook(MinitabWindow& minitab, int hintId, bool erasesBackground);

    protected:
        bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    private:
        MinitabWindow& minitab_;
        int hintId_;
        bool erasesBackground_;
    };

    // The bar toolbar's parent: our bar button's messages come to the minitab.
    class BarFrameHook : public SubclassedWindow {
    public:
        explicit BarFrameHook(MinitabWindow& minitab) : minitab_(minitab) {}

    protected:
        bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    private:
        MinitabWindow& minitab_;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void onCreate();
    void onDestroy();
    void onCommand(int id);
    void onDrawItem(const DRAWITEMSTRUCT& item);
    void onFlashTick();
    void onTooltipTimer();
    bool pointerInside() const;
    void repaintAll();
    void setCaption(const std::string& text);
    void showCaption();
    void removeBarButton();
    int rowOfButton(int buttonId) const;
    Picture picture(int bitmapId) const;
    HBRUSH backgroundBrush() const;
    LRESULT setCursorOverLink();

    HINSTANCE resources_;
    MinitabOwner* owner_ = nullptr;
    HWND window_ = nullptr;
    HWND caption_ = nullptr;
    std::string captionText_;
    std::vector<std::unique_ptr<TabEntry>> tabs_;
    std::vector<std::unique_ptr<ButtonHook>> hooks_;
    int selected_ = -1;
    int selectedPage_ = 0;
    int tabHeight_ = 0;
    std::vector<Point> tabPositions_;  // where the last layout put each tab
    bool captionFits_ = false;
    FlashAlert flash_;
    Brush flashBrush_;
    HCURSOR linkCursor_ = nullptr;

    // Pictures, by their resource id.
    std::array<std::pair<int, Bitmap>, 10> pictures_;

    HWND barButton_ = nullptr;
    BarFrameHook barFrame_{*this};
};

}  // namespace qm::band
