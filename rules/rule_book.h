#pragma once
// Adding, editing and deleting the rules of one band. Every change goes
// through the rule editor (or a confirmation on the Tools page), and each
// add, edit or delete, confirmed or not, ends with both lists refilled and
// the rules file rewritten. A change is made to what the file holds at that
// moment, so no window undoes what another saved; the band's rules then are
// the file's.

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/file_system.h"
#include "rules/rule_editor_logic.h"
#include "rules/rule_set.h"
#include "rules/rules_file.h"

namespace qm {

constexpr char kRuleAccessError[] = "error: could not access rules";
constexpr char kRuleAccessErrorCaption[] = "error";

// What the rule book needs from the band's windows. ShowError (from
// RulesUi) shows a message box without an owner.
class RuleBookUi : public RulesUi {
public:
    // Runs the rule editor modally on `state`; true when the user chose OK.
    virtual bool RunRuleEditor(RuleEditorState& state) = 0;
    // The address of the page the browser window shows now; empty when none.
    virtual std::string CurrentPageAddress() = 0;
    // Refills both list views of the Tools page from the RuleSet.
    virtual void RefreshRuleLists() = 0;
};

class RuleBook {
public:
    RuleBook(RuleSet& rules, FileSystem& files, std::string moduleFileName, RuleBookUi& ui);

    // A new rule through the editor. `flags` gives the list (White), the
    // status (On) and preset condition bits; the addresses prefill the
    // locations. Without a popup address the source location is the page
    // the browser window shows now.
    void AddRule(std::uint16_t flags, const std::string& popupAddress,
                 const std::string& sourceAddress);
    // The rule at `row` of the white or black list, through the editor.
    void EditRule(bool isWhite, std::size_t row);
    // Removes the first rule equal to the one at `row` of that list.
    void DeleteRule(bool isWhite, std::size_t row);

    const RuleSet& rules() const { return rules_; }

private:
    // What one add, edit, delete or cancelled editor does to the file's rules.
    struct Change {
        enum Kind { kNone, kAdd, kReplace, kRemove } kind = kNone;
        Rule before;  // kReplace, kRemove: the rule as this band showed it
        Rule after;   // kAdd, kReplace
    };

    // Makes `change` to `rules`; false when the rule to edit is gone.
    static bool Apply(const Change& change, RuleSet& rules);
    // Under the file's lock: reads the file, applies `change`, writes it
    // back; then refills the lists and shows what failed.
    void ApplyAndSave(const Change& change);

    RuleSet& rules_;
    FileSystem& files_;
    std::string moduleFileName_;
    RuleBookUi& ui_;
};

}  // namespace qm
