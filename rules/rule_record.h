#pragma once
// One record of the rules file: "flags ESC name ESC popup ESC source", here
// without the line end that closes it. Reading takes whatever bytes a file
// holds; writing gives a record that reads back as the same rule, but for
// the bytes no record can hold.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rules/rule.h"

namespace qm {

constexpr char kRecordSeparator = '\x1B';
constexpr std::string_view kRecordEnd = "\r\n";

// The fields of one record, as views into it. The flags are the last byte
// before the first separator (0 when there is none). The source location
// runs to the end of the record, so it still holds any surplus separators:
// they belong to no text and are dropped when the rule is read.
struct RecordFields {
    std::uint16_t flags = 0;
    std::string_view name;
    std::string_view popupLocation;
    std::string_view sourceWithSeparators;
};
RecordFields ReadRecord(std::string_view record);

// Whether a record holds flags and three texts. A last record without its
// line end counts only then.
bool IsComplete(const RecordFields& fields);

// Appends the record of `rule` to `out`, without a line end. A text's ESC,
// CR, LF and zero bytes are written as spaces; a flags byte that would be a
// zero byte or an ESC is not written as such.
void AppendRecord(std::string& out, const RuleView& rule);

// A rules file's records before they are read: its bytes, and where each
// record ends (at its line end; a last record without one, at the end of the
// bytes). Each record starts right after the line end of the one before.
struct RuleRecords {
    std::string bytes;
    std::vector<std::uint32_t> ends;
};

}  // namespace qm
