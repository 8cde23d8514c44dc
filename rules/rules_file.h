#pragma once
// The rules file "qmr.dat" beside our module: one record per rule, in
// RuleSet order, each "flags ESC name ESC popup ESC source CR LF". No header,
// no escaping; an empty RuleSet is stored as no file at all.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "rules/rule_set.h"

namespace qm {

constexpr char kRulesFileName[] = "qmr.dat";
constexpr char kRulesAccessError[] = "error!  could not access rules file.";
constexpr char kRulesSaveError[] = "error!  could not save rules.";
constexpr char kRulesErrorCaption[] = "error!";

// The largest rules file read or written: some thousand rules of the
// editor's longest texts. A larger file is damaged, or not ours.
constexpr std::size_t kMaxRulesFileSize = 1024 * 1024;

// What reading the rules file found.
enum class RulesFileState {
    kNoFile,   // no file, or one holding no data: nothing to keep
    kLoaded,   // its rules were read
    kRefused,  // there, but not readable now or not acceptable: never written over
};

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

// Held for one read-change-write of the rules file, so that no other window
// or process writes it in between; null when it could not be had.
std::unique_ptr<FileLock> LockRulesFile(FileSystem& files, const std::string& moduleFileName);

// Under the lock: replaces `rules` by the file's rules when it holds some,
// otherwise leaves them alone. A missing file whose complete replacement a
// save had written but not yet moved into place (a crash in the middle of
// the save) is moved into place first.
RulesFileState ReadRulesFile(FileSystem& files, const std::string& moduleFileName, RuleSet& rules);

// Under the lock: makes the file hold exactly `rules`. Null on success,
// otherwise the message to show; the file is then as it was.
const char* WriteRulesFile(FileSystem& files, const std::string& moduleFileName,
                           const RuleSet& rules);

// Takes the lock and reads the file, as a band does when it starts. Reports
// nothing; without the lock the file counts as refused.
RulesFileState LoadRules(FileSystem& files, const std::string& moduleFileName, RuleSet& rules);

}  // namespace qm
