#include "rules/win32/rule_editor_dialog.h"

#include "rules/resources/tools_ids.h"
#include "rules/win32/dialog_text.h"

namespace qm::tools {
namespace {

class RuleEditorDialog {
public:
    explicit RuleEditorDialog(RuleEditorState& state) : logic_(state), state_(state) {}

    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            auto* self = reinterpret_cast<RuleEditorDialog*>(lParam);
            self->dialog_ = dialog;
            self->OnInit();
            return TRUE;
        }
        auto* self = reinterpret_cast<RuleEditorDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (!self || message != WM_COMMAND) return FALSE;
        return self->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    }

private:
    void OnInit() {
        SetWindowTextA(dialog_, RuleEditorCaption(state_.isWhite, state_.isAdd).c_str());
        std::string label = ConditionLabel(state_.isWhite);
        SetDlgItemTextA(dialog_, IDC_POPUP_CONDITION_LABEL, label.c_str());
        SetDlgItemTextA(dialog_, IDC_SOURCE_CONDITION_LABEL, label.c_str());
        RuleEditorForm form = logic_.Open();
        Show(form, true);
    }

    bool OnCommand(int id, int code) {
        switch (id) {
            case IDC_POPUP_EXACT:
            case IDC_POPUP_DOMAIN:
            case IDC_SOURCE_EXACT:
            case IDC_SOURCE_DOMAIN:
                if (code != BN_CLICKED) return false;
                Update(&RuleEditorLogic::OnConditionClicked);
                return true;
            case IDC_POPUP_LOCATION:
            case IDC_SOURCE_LOCATION:
                if (code != EN_CHANGE || showing_) return false;
                Update(&RuleEditorLogic::OnLocationChanged);
                return true;
            case IDC_RULE_NAME:
                if (code != EN_CHANGE || showing_) return false;
                logic_.OnNameChanged(GetFocus() == GetDlgItem(dialog_, IDC_RULE_NAME));
                return true;
            case IDOK:
                OnOk();
                return true;
            case IDCANCEL:
                EndDialog(dialog_, IDCANCEL);
                return true;
        }
        return false;
    }

    void OnOk() {
        RuleEditorForm form = Read();
        if (std::optional<std::string> error = logic_.OnOk(form)) {
            Exclaim(dialog_, error->c_str(), kRuleEditorErrorCaption);
            return;
        }
        Show(form, false);
        EndDialog(dialog_, IDOK);
    }

    void Update(void (RuleEditorLogic::*event)(RuleEditorForm&)) {
        RuleEditorForm form = Read();
        (logic_.*event)(form);
        Show(form, false);
    }

    RuleEditorForm Read() const {
        RuleEditorForm form;
        form.popupText = LimitRuleText(ControlText(dialog_, IDC_POPUP_LOCATION));
        form.sourceText = LimitRuleText(ControlText(dialog_, IDC_SOURCE_LOCATION));
        form.nameText = LimitRuleText(ControlText(dialog_, IDC_RULE_NAME));
        form.popupExact = IsTicked(dialog_, IDC_POPUP_EXACT);
        form.popupDomain = IsTicked(dialog_, IDC_POPUP_DOMAIN);
        form.sourceExact = IsTicked(dialog_, IDC_SOURCE_EXACT);
        form.sourceDomain = IsTicked(dialog_, IDC_SOURCE_DOMAIN);
        form.popupExactEnabled = IsWindowEnabled(GetDlgItem(dialog_, IDC_POPUP_EXACT)) != FALSE;
        form.sourceExactEnabled = IsWindowEnabled(GetDlgItem(dialog_, IDC_SOURCE_EXACT)) != FALSE;
        form.on = IsTicked(dialog_, IDC_RULE_ON);
        return form;
    }

    // Puts the form into the controls. The locations are written only when
    // the dialog opens; the name only when it differs. What the dialog
    // writes itself is not the user's typing.
    void Show(const RuleEditorForm& form, bool opening) {
        showing_ = true;
        if (opening) {
            SetDlgItemTextA(dialog_, IDC_POPUP_LOCATION, form.popupText.c_str());
            SetDlgItemTextA(dialog_, IDC_SOURCE_LOCATION, form.sourceText.c_str());
            CheckRadioButton(dialog_, IDC_RULE_ON, IDC_RULE_OFF,
                             form.on ? IDC_RULE_ON : IDC_RULE_OFF);
        }
        if (opening || LimitRuleText(ControlText(dialog_, IDC_RULE_NAME)) != form.nameText) {
            SetDlgItemTextA(dialog_, IDC_RULE_NAME, form.nameText.c_str());
        }
        SetTicked(dialog_, IDC_POPUP_EXACT, form.popupExact);
        SetTicked(dialog_, IDC_POPUP_DOMAIN, form.popupDomain);
        SetTicked(dialog_, IDC_SOURCE_EXACT, form.sourceExact);
        SetTicked(dialog_, IDC_SOURCE_DOMAIN, form.sourceDomain);
        EnableWindow(GetDlgItem(dialog_, IDC_POPUP_EXACT), form.popupExactEnabled);
        EnableWindow(GetDlgItem(dialog_, IDC_SOURCE_EXACT), form.sourceExactEnabled);
        showing_ = false;
    }

    RuleEditorLogic logic_;
    RuleEditorState& state_;
    HWND dialog_ = nullptr;
    bool showing_ = false;
};

}  // namespace

bool RunRuleEditorDialog(HINSTANCE instance, HWND owner, RuleEditorState& state) {
    RuleEditorDialog dialog(state);
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_RULE_EDITOR), owner,
                                     RuleEditorDialog::Proc, reinterpret_cast<LPARAM>(&dialog));
    return result == IDOK;
}

}  // namespace qm::tools
