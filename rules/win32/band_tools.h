#pragma once
// The band's rules and log tools: the "Tools" page, the rule book behind its
// lists (and behind the "Popup Windows" page's "Add Popup to White List" and
// "Add Popup to Black List"), the rule editor, the log viewer and the log
// settings dialog. One per band, living as long as the band.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/file_system.h"
#include "common/registry.h"
#include "rules/rule_book.h"
#include "rules/win32/tools_page.h"
#include "rules/win32/message_box_rules_ui.h"
#include "settings/settings.h"

namespace qm::tools {

// What the tools need from the band besides its rules and settings; held
// alive while the tools run a modal loop.
class ToolsHost : public win32::LifeHolder {
public:
    // The address of the page the band's browser window shows now; empty
    // when the browser gives none.
    virtual std::string CurrentPageAddress() = 0;

protected:
    ~ToolsHost() = default;
};

class BandTools final : private RuleBookUi, private ToolsPageHost {
public:
    // `rules` and `settings` are the band's live copies; `moduleFileName`
    // names the DLL beside which the rules file and the log lie.
    BandTools(HINSTANCE instance, ToolsHost& host, RuleSet& rules, Settings& settings,
              FileSystem& files, Registry& registry, std::string moduleFileName);
    BandTools(const BandTools&) = delete;
    BandTools& operator=(const BandTools&) = delete;

    // The "Tools" page (dialog 205), hidden, as a child of `parent`; null on
    // failure. The page is destroyed with its parent.
    HWND CreateToolsPage(HWND parent);

    // A new rule through the editor: `flags` White + On for the white list,
    // On for the black list; the addresses prefill the locations.
    void AddRule(std::uint16_t flags, const std::string& popupAddress,
                 const std::string& sourceAddress) override;
    // The rule at `row` of the white or black list view.
    void EditRule(bool isWhite, std::size_t row) override;
    void DeleteRule(bool isWhite, std::size_t row) override;
    // The modal log viewer and log settings dialog.
    void ShowLogViewer() override;
    void ShowLogSettings() override;

private:
    // RuleBookUi
    bool RunRuleEditor(RuleEditorState& state) override;
    std::string CurrentPageAddress() override;
    void RefreshRuleLists() override;
    void ShowError(const std::string& text, const std::string& caption) override;
    // ToolsPageHost
    const RuleSet& Rules() override { return book_.rules(); }
    void HoldLife() override { host_.HoldLife(); }
    void LetLife() override { host_.LetLife(); }

    HINSTANCE instance_;
    ToolsHost& host_;
    Settings& settings_;
    FileSystem& files_;
    Registry& registry_;
    std::string moduleFileName_;
    win32::MessageBoxRulesUi errors_;
    RuleBook book_;
    ToolsPage page_;
};

}  // namespace qm::tools
