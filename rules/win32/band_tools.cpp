#include "rules/win32/band_tools.h"

#include <utility>

#include "log/win32/log_settings_dialog.h"
#include "log/log_settings_logic.h"
#include "log/win32/log_viewer_dialog.h"
#include "rules/win32/rule_editor_dialog.h"

namespace qm::tools {

BandTools::BandTools(HINSTANCE instance, ToolsHost& host, RuleSet& rules, Settings& settings,
                     FileSystem& files, Registry& registry, std::string moduleFileName)
    : instance_(instance),
      host_(host),
      settings_(settings),
      files_(files),
      registry_(registry),
      moduleFileName_(std::move(moduleFileName)),
      book_(rules, files, moduleFileName_, *this),
      page_(instance, *this) {}

HWND BandTools::CreateToolsPage(HWND parent) {
    return page_.Create(parent);
}

void BandTools::AddRule(std::uint16_t flags, const std::string& popupAddress,
                        const std::string& sourceAddress) {
    book_.AddRule(flags, popupAddress, sourceAddress);
}

void BandTools::EditRule(bool isWhite, std::size_t row) {
    book_.EditRule(isWhite, row);
}

void BandTools::DeleteRule(bool isWhite, std::size_t row) {
    book_.DeleteRule(isWhite, row);
}

// The modal dialogs are owned by whatever window is active, normally the
// browser window.
void BandTools::ShowLogViewer() {
    RunLogViewerDialog(instance_, GetActiveWindow(), files_, moduleFileName_);
}

void BandTools::ShowLogSettings() {
    LogSettingsChoice choice = LogSettingsFrom(settings_);
    if (!RunLogSettingsDialog(instance_, GetActiveWindow(), choice)) return;
    SettingsStore store(registry_, moduleFileName_);
    ApplyLogSettings(choice, settings_, store, files_, moduleFileName_);
}

bool BandTools::RunRuleEditor(RuleEditorState& state) {
    return RunRuleEditorDialog(instance_, GetActiveWindow(), state);
}

std::string BandTools::CurrentPageAddress() {
    return host_.CurrentPageAddress();
}

void BandTools::RefreshRuleLists() {
    page_.RefreshRuleLists();
}

void BandTools::ShowError(const std::string& text, const std::string& caption) {
    errors_.ShowError(text, caption);
}

}  // namespace qm::tools
