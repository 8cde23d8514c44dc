#include "rules/rules_file.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "common/file_rewrite.h"
#include "rules/rule_record.h"

namespace qm {
namespace {

// Of the temporary file each save writes beside the rules file and moves
// over it once complete, so a failed save never costs the rules on disk.
constexpr char kTemporaryPrefix[] = "qmr";

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

enum class Read { kRead, kMissing, kRefused };

// The whole file when it is at most kMaxRulesFileSize bytes.
Read ReadBounded(FileSystem& files, const std::string& path, std::string& data) {
    std::unique_ptr<File> file =
        files.open(path, FileAccess::Read, kShareRead, FileDisposition::OpenExisting);
    if (!file) return files.exists(path) ? Read::kRefused : Read::kMissing;
    const std::int64_t size = file->size();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxRulesFileSize) return Read::kRefused;
    return file->read(static_cast<std::size_t>(size), data) ? Read::kRead : Read::kRefused;
}

// What a save writes: data up to its end, no zero byte, the last record closed.
bool IsWholeSave(std::string_view data) {
    return data.size() >= 2 && data.find('\0') == std::string_view::npos &&
           data.compare(data.size() - 2, 2, kRecordEnd) == 0;
}

// A save that stopped between deleting the old file and renaming the new one
// (Windows 9x has no single-step replace) leaves the new one complete.
RulesFileState RecoverRules(FileSystem& files, const std::string& path, RuleSet& rules) {
    for (const std::string& leftover : LeftoverTemporaries(files, path, kTemporaryPrefix)) {
        std::string data;
        if (ReadBounded(files, leftover, data) != Read::kRead || !IsWholeSave(data)) continue;
        // Loaded even when it cannot be moved now: the next save writes it.
        files.replace(leftover, path);
        return Decode(std::move(data), rules) ? RulesFileState::kLoaded : RulesFileState::kNoFile;
    }
    return RulesFileState::kNoFile;
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

std::unique_ptr<FileLock> LockRulesFile(FileSystem& files, const std::string& moduleFileName) {
    return files.lock(RulesFilePath(moduleFileName));
}

RulesFileState ReadRulesFile(FileSystem& files, const std::string& moduleFileName, RuleSet& rules) {
    const std::string path = RulesFilePath(moduleFileName);
    std::string data;
    switch (ReadBounded(files, path, data)) {
        case Read::kMissing:
            return RecoverRules(files, path, rules);
        case Read::kRefused:
            return RulesFileState::kRefused;
        case Read::kRead:
            break;
    }
    return Decode(std::move(data), rules) ? RulesFileState::kLoaded : RulesFileState::kNoFile;
}

const char* WriteRulesFile(FileSystem& files, const std::string& moduleFileName,
                           const RuleSet& rules) {
    const std::string path = RulesFilePath(moduleFileName);
    // Under the lock no other save is under way: what is there was left by
    // one that stopped, and must not come back in place of a later file.
    RemoveLeftoverTemporaries(files, path, kTemporaryPrefix);
    if (rules.empty()) {
        return files.remove(path) || !files.exists(path) ? nullptr : kRulesAccessError;
    }
    const std::string content = EncodeRules(rules);
    if (content.size() > kMaxRulesFileSize) return kRulesSaveError;
    switch (RewriteFile(files, path, kTemporaryPrefix, content)) {
        case RewriteResult::kRewritten:
            return nullptr;
        case RewriteResult::kNotWritten:
            return kRulesSaveError;
        case RewriteResult::kNotCreated:
        case RewriteResult::kNotReplaced:
            break;
    }
    return kRulesAccessError;
}

RulesFileState LoadRules(FileSystem& files, const std::string& moduleFileName, RuleSet& rules) {
    std::unique_ptr<FileLock> lock = LockRulesFile(files, moduleFileName);
    if (!lock) return RulesFileState::kRefused;
    return ReadRulesFile(files, moduleFileName, rules);
}

}  // namespace qm
