#include "rules/rules_file.h"

#include <cstdint>
#include <limits>
#include <memory>

#include "common/text.h"

namespace qm {
namespace {

constexpr char kSeparator = '\x1B';
constexpr std::string_view kLineEnd = "\r\n";
// Written beside the rules file and moved over it once complete, so a failed
// save never costs the rules already on disk.
constexpr char kTemporaryFileName[] = "qmr.tmp";

// The byte that starts a record. A zero byte would end the file's data and an
// ESC would shift every field, so neither is written: a rule without flags
// starts right at its first separator (and loads back as 0), and the one
// flags value that is an ESC gets SourceExact, which its SourceDomain bit
// implies for matching anyway.
char FlagsByte(std::uint16_t flags) {
    char byte = static_cast<char>(flags & 0xFF);
    return byte == kSeparator ? static_cast<char>(byte | SourceExact) : byte;
}

// A file byte becomes the flags sign-extended: from 0x80 up it fills the
// high byte too, which saving drops again.
std::uint16_t FlagsFromByte(char byte) {
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(byte)));
}

// Cuts `rest` at the next separator: returns the field before it and leaves
// the text after it in `rest`; with no separator left, returns everything.
std::string_view NextField(std::string_view& rest, bool& more) {
    std::size_t at = rest.find(kSeparator);
    more = at != std::string_view::npos;
    std::string_view field = rest.substr(0, at);
    rest = more ? rest.substr(at + 1) : std::string_view();
    return field;
}

// One record without its line end. Field 0 keeps its last byte as the
// flags; surplus separators run the rest into the source location.
Rule DecodeRecord(std::string_view record) {
    Rule rule;
    bool more = false;
    std::string_view head = NextField(record, more);
    if (!head.empty()) rule.flags = FlagsFromByte(head.back());
    if (!more) return rule;
    rule.name = NextField(record, more);
    if (!more) return rule;
    rule.popupLocation = NextField(record, more);
    if (!more) return rule;
    rule.sourceLocation = NextField(record, more);
    while (more) rule.sourceLocation += NextField(record, more);
    return rule;
}

// Every record but the last ends in a line feed, so this makes room for all
// of them. (std::count goes byte by byte; find is several times faster.)
std::size_t CountLineFeeds(std::string_view data) {
    std::size_t count = 0;
    for (std::size_t at = data.find('\n'); at != std::string_view::npos;
         at = data.find('\n', at + 1)) {
        ++count;
    }
    return count;
}

// A last record without its line end counts only when it is complete.
bool IsComplete(const Rule& rule) {
    return rule.flags != 0 && !rule.name.empty() && !rule.popupLocation.empty() &&
           !rule.sourceLocation.empty();
}

}  // namespace

std::string RulesFilePath(std::string_view moduleFileName) {
    return FolderWithSlash(moduleFileName) + kRulesFileName;
}

std::string EncodeRules(const RuleSet& rules) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const Rule& rule = rules[i];
        total += 6 + rule.name.size() + rule.popupLocation.size() + rule.sourceLocation.size();
    }
    std::string data;
    data.reserve(total);
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const Rule& rule = rules[i];
        char flags = FlagsByte(rule.flags);
        if (flags != '\0') data += flags;
        data += kSeparator;
        data += BlankRecordBreakers(rule.name);
        data += kSeparator;
        data += BlankRecordBreakers(rule.popupLocation);
        data += kSeparator;
        data += BlankRecordBreakers(rule.sourceLocation);
        data += kLineEnd;
    }
    return data;
}

bool DecodeRules(std::string_view data, RuleSet& rules) {
    data = data.substr(0, data.find('\0'));
    if (data.empty()) return false;
    rules.clear();
    rules.reserve(CountLineFeeds(data) + 1);
    for (std::size_t pos = 0;;) {
        std::size_t end = data.find(kLineEnd, pos);
        if (end == std::string_view::npos) {
            Rule last = DecodeRecord(data.substr(pos));
            if (IsComplete(last)) rules.append(std::move(last));
            return true;
        }
        rules.append(DecodeRecord(data.substr(pos, end - pos)));
        pos = end + kLineEnd.size();
    }
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
    return DecodeRules(data, rules);
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
