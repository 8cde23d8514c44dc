#pragma once
// What the rule editor decides, apart from its window: its caption and
// labels, the coupling of the condition boxes, the automatic name and the
// checks on OK. The dialog reads its controls into a RuleEditorForm, hands
// it to RuleEditorLogic and shows what comes back.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// The longest name or location, in bytes, that the editor reads from a box.
constexpr std::size_t kRuleTextLimit = 259;

constexpr char kRuleEditorErrorCaption[] = "error";
constexpr char kMissingUrlMessage[] =
    "you must supply a url to create a rule\n\nplease fill out missing value";
constexpr char kMissingConditionMessage[] =
    "you must supply a condition to create a rule\n\nplease check a minimum of one box";

// The editor's state: what the caller sets up before and reads after.
struct RuleEditorState {
    std::string popupLocation;
    std::string sourceLocation;
    std::string name;
    bool popupExact = false;
    bool popupDomain = false;
    bool sourceExact = false;
    bool sourceDomain = false;
    bool isWhite = true;  // which list the rule belongs to
    bool isAdd = true;    // adding (true) or editing (false)
    bool isOn = true;
    bool autoNameReady = false;  // set up: automatic naming may run
    bool nameTyped = false;      // the name is the user's own: automatic naming stops
};

// What the dialog's controls show.
struct RuleEditorForm {
    std::string popupText;   // box 255
    std::string sourceText;  // box 256
    std::string nameText;    // box 271
    bool popupExact = false;
    bool popupDomain = false;
    bool sourceExact = false;
    bool sourceDomain = false;
    bool popupExactEnabled = true;
    bool sourceExactEnabled = true;
    bool on = true;
};

// "Add Rule to White List", "Edit White List Rule", "Add Rule to Black List"
// or "Edit Black List Rule".
std::string RuleEditorCaption(bool isWhite, bool isAdd);
// The label in front of each pair of condition boxes.
std::string ConditionLabel(bool isWhite);

// `text` cut to at most `limit` bytes without splitting a double-byte character.
std::string LimitRuleText(std::string_view text, std::size_t limit = kRuleTextLimit);

class RuleEditorLogic {
public:
    explicit RuleEditorLogic(RuleEditorState& state) : state_(state) {}

    // The controls as the dialog opens on the state.
    RuleEditorForm Open();
    // After a click on any of the four condition boxes: a ticked domain box
    // ticks and disables its exact box, a clear one enables it again.
    void OnConditionClicked(RuleEditorForm& form);
    // After the popup or source location changed.
    void OnLocationChanged(RuleEditorForm& form);
    // The name box changed; only a change while it has the keyboard focus is
    // the user's typing.
    void OnNameChanged(bool nameBoxHasFocus);
    // OK: the message to show when a check fails (the dialog stays open);
    // otherwise the state takes the form's values and the dialog closes.
    std::optional<std::string> OnOk(RuleEditorForm& form);

private:
    void AutoName(RuleEditorForm& form) const;

    RuleEditorState& state_;
};

}  // namespace qm
