#include "rules/rules_file.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

#include "rules/rule_record.h"

namespace qm {
namespace {

// Written beside the rules file and moved over it once complete, so a failed
// save never costs the rules already on disk.
constexpr char kTemporaryFileName[] = "qmr.tmp";

// Finds where each record lies and hands `data` to `rules` as the buffer of
// their texts: loading copies no text and allocates nothing per rule.
bool Decode(std::string data, RuleSet& rules) {
    if (data.size() > RuleSet::kMaxTextSize) return false;
    // A record ends at the first CR LF. Each line feed but a stray one in a
    // text closes a record, while a carriage return may be a flags byte; so
    // the search is for line feeds. strchr also stops at the first zero
    // byte, where the data ends, so one walk over the bytes finds both.
    const char* const bytes = data.c_str();
    RuleRecords records;
    std::size_t begin = 0;
    for (const char* lf = std::strchr(bytes, '\n'); lf; lf = std::strchr(lf + 1, '\n')) {
        std::size_t at = static_cast<std::size_t>(lf - bytes);
        if (at > begin && bytes[at - 1] == '\r') {
            records.ends.push_back(static_cast<std::uint32_t>(at - 1));
            begin = at + 1;
        }
    }
    const std::size_t size = begin + std::strlen(bytes + begin);
    if (size == 0) return false;
    if (IsComplete(ReadRecord(std::string_view(bytes + begin, size - begin)))) {
        records.ends.push_back(static_cast<std::uint32_t>(size));
    }
    data.resize(size);
    records.bytes = std::move(data);
    rules.assign(std::move(records));
    return true;
}

}  // namespace

std::string RulesFilePath(std::string_view moduleFileName) {
    return FolderWithSlash(moduleFileName) + kRulesFileName;
}

std::string EncodeRules(const RuleSet& rules) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const RuleView rule = rules[i];
        total += 6 + rule.name.size() + rule.popupLocation.size() + rule.sourceLocation.size();
    }
    std::string data;
    data.reserve(total);
    for (std::size_t i = 0; i < rules.size(); ++i) {
        AppendRecord(data, rules[i]);
        data += kRecordEnd;
    }
    return data;
}

bool DecodeRules(std::string_view data, RuleSet& rules) {
    return Decode(std::string(data), rules);
}

bool LoadRules(FileSystem& files, const std::string& moduleFileName, RuleSet& rules) {
    std::unique_ptr<File> file = files.open(RulesFilePath(moduleFileName), FileAccess::Read,
                                            kShareRead, FileDisposition::OpenExisting);
    if (!file) return false;
    std::int64_t size = file->size();
    if (size <= 0 || static_cast<std::uint64_t>(size) > std::numeric_limits<std::size_t>::max()) {
        return false;
    }
    std::string data;
    if (!file->read(static_cast<std::size_t>(size), data)) return false;
    return Decode(std::move(data), rules);
}

bool SaveRules(FileSystem& files, const std::string& moduleFileName, const RuleSet& rules,
               RulesUi& ui) {
    const std::string path = RulesFilePath(moduleFileName);
    if (rules.empty()) {
        files.remove(path);  // none there already is just as good
        return true;
    }
    const std::string temporary = FolderWithSlash(moduleFileName) + kTemporaryFileName;
    // Not shared: two windows saving at once must not mix their content.
    std::unique_ptr<File> file =
        files.open(temporary, FileAccess::Write, kShareNone, FileDisposition::CreateAlways);
    if (!file) {
        ui.ShowError(kRulesAccessError, kRulesErrorCaption);
        return false;
    }
    bool written = file->seekToStart() && file->write(EncodeRules(rules));
    file.reset();
    if (!written) {
        files.remove(temporary);
        ui.ShowError(kRulesSaveError, kRulesErrorCaption);
        return false;
    }
    if (!files.replace(temporary, path)) {
        files.remove(temporary);
        ui.ShowError(kRulesAccessError, kRulesErrorCaption);
        return false;
    }
    return true;
}

}  // namespace qm
