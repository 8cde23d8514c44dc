#pragma once
// A browser window as the lab shows it: a top-level window of class
// "IEFrame" with the page area and, below it, the Explorer Bar: a bar frame
// window holding a "ToolbarWindow32" close toolbar and the band's window.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/win32/com_ptr.h"
#include "lab/win32/band_host.h"
#include "lab/win32/lab.h"

namespace qm::lab {

class LabBrowser;
class LabDocument;
class LabElement;

class LabFrame final : public BrowserHost {
public:
    struct Options {
        int width = 640;
        int height = 480;
        std::string band;  // ProgID or {CLSID}; empty: a window without a bar
    };

    LabFrame(Lab& lab, win32::ComPtr<LabBrowser> browser, Options options);
    ~LabFrame() override;
    LabFrame(const LabFrame&) = delete;
    LabFrame& operator=(const LabFrame&) = delete;

    void show();
    bool isOpen() const { return window_ != nullptr; }
    HWND window() const { return window_; }
    HWND pageWindow() const { return page_; }
    HWND barWindow() const { return bar_; }
    LabBrowser* browser() const { return browser_.get(); }
    BandHost* band() const { return band_.get(); }

    // The user's commands.
    void resize(int width, int height);
    bool openBar();
    void closeBar();
    // Shows or hides the open bar without closing it (IDeskBand::ShowDW).
    bool showBand(bool show);
    // The user right-clicks the band (see BandHost::contextMenu).
    bool barMenu(const std::string& item, const POINT* point);

    // BrowserHost
    HWND hostWindow() const override { return window_; }
    bool barVisible() const override;
    HRESULT showBrowserBar(const std::wstring& clsid, bool show) override;
    void pageChanged() override;

private:
    static LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK BarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // One line of the page area: a text, and the element it shows, if any.
    struct PageLine {
        std::string text;
        int indent;
        win32::ComPtr<LabElement> element;
    };
    std::vector<PageLine> pageLines() const;
    static void addDocumentLines(LabDocument& document, int depth, std::vector<PageLine>& lines);
    LabElement* elementAt(int y) const;
    void layout();
    void paintPage(HDC dc, const RECT& area);
    void onDestroy();
    // A person's mouse on the page area does what the timeline's actions do.
    void onMouse(UINT message, int x, int y);

    Lab& lab_;
    win32::ComPtr<LabBrowser> browser_;
    HWND window_ = nullptr;
    HWND page_ = nullptr;
    HWND bar_ = nullptr;
    HWND toolbar_ = nullptr;
    std::unique_ptr<BandHost> band_;
    win32::ComPtr<LabElement> pressed_;
    win32::ComPtr<LabElement> hovered_;
};

}  // namespace qm::lab
