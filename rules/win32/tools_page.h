#pragma once
// The "Tools" page (dialog 205), a child dialog of the band's minitab: the
// white and black lists with their "Edit Rule", "Add New" and "Delete"
// buttons, and the "View Log" and "Log Options" buttons.

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/win32/keep_alive.h"
#include "rules/rule_set.h"

namespace qm::tools {

// What the page's buttons and lists ask the band to do; the band stays
// alive while a button's work runs a modal loop.
class ToolsPageHost : public win32::LifeHolder {
public:
    virtual const RuleSet& Rules() = 0;
    virtual void AddRule(std::uint16_t flags, const std::string& popupAddress,
                         const std::string& sourceAddress) = 0;
    virtual void EditRule(bool isWhite, std::size_t row) = 0;
    virtual void DeleteRule(bool isWhite, std::size_t row) = 0;
    virtual void ShowLogViewer() = 0;
    virtual void ShowLogSettings() = 0;

protected:
    ~ToolsPageHost() = default;
};

class ToolsPage {
public:
    ToolsPage(HINSTANCE instance, ToolsPageHost& host) : instance_(instance), host_(host) {}
    // The page window does not outlive the object that handles its messages.
    ~ToolsPage();
    ToolsPage(const ToolsPage&) = delete;
    ToolsPage& operator=(const ToolsPage&) = delete;

    // Creates the page, hidden, as a child of `parent`; null on failure.
    HWND Create(HWND parent);
    HWND window() const { return window_; }
    // Refills both list views from the rules.
    void RefreshRuleLists();

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit();
    bool OnCommand(int id);
    void OnNotify(const NMHDR& header);
    void OnSize(int width, int height);
    void OnDestroy();

    HWND List(bool isWhite) const;
    // The item a mouse action in a list hit, or -1.
    int HitItem(HWND list, POINT point) const;
    // The selected item of a list, or -1.
    int SelectedItem(bool isWhite) const;
    void EnableRuleButtons(bool isWhite, bool enable);
    void EditSelected(bool isWhite);
    void DeleteSelected(bool isWhite);

    HINSTANCE instance_;
    ToolsPageHost& host_;
    HWND window_ = nullptr;
    HIMAGELIST images_ = nullptr;
};

}  // namespace qm::tools
