#pragma once
// The rules file "qmr.dat" beside our module: one record per rule, in
// RuleSet order, each "flags ESC name ESC popup ESC source CR LF". No header,
// no escaping; an empty RuleSet is stored as no file at all.

#include <string>
#include <string_view>

#include "common/file_system.h"
#include "rules/rule_set.h"

namespace qm {

constexpr char kRulesFileName[] = "qmr.dat";
constexpr char kRulesAccessError[] = "error!  could not access rules file.";
constexpr char kRulesSaveError[] = "error!  could not save rules.";
constexpr char kRulesErrorCaption[] = "error!";

// The module's folder, its backslash, then "qmr.dat".
std::string RulesFilePath(std::string_view moduleFileName);

// The file's bytes for `rules`. A text's ESC, CR, LF and zero bytes are
// written as spaces, since they would end a field, a record or the data.
std::string EncodeRules(const RuleSet& rules);

// Replaces `rules` by the records of `data`, which counts up to its first
// zero byte, and returns true; when no data is left (or more than a RuleSet
// holds) it returns false and leaves `rules` untouched. Malformed records
// load as far as they go.
bool DecodeRules(std::string_view data, RuleSet& rules);

// Where saving reports its failures to the user.
class RulesUi {
public:
    virtual ~RulesUi() = default;
    virtual void ShowError(const std::string& text, const std::string& caption) = 0;
};

// Replaces `rules` by the file's rules when the file exists and holds data;
// otherwise leaves them alone. Reports nothing; true when rules were loaded.
bool LoadRules(FileSystem& files, const std::string& moduleFileName, RuleSet& rules);

// Makes the file hold exactly `rules`; true on success. A failure is shown
// through `ui` and leaves the previous file as it was.
bool SaveRules(FileSystem& files, const std::string& moduleFileName, const RuleSet& rules,
               RulesUi& ui);

}  // namespace qm
