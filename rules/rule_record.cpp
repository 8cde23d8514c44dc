#include "rules/rule_record.h"

#include <algorithm>

#include "common/text.h"

namespace qm {
namespace {

// A file byte becomes the flags sign-extended: from 0x80 up it fills the
// high byte too, which writing drops again.
std::uint16_t FlagsFromByte(char byte) {
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(byte)));
}

// The byte that starts a record. A zero byte would end the file's data and an
// ESC would shift every field, so neither is written: a rule without flags
// starts right at its first separator (and reads back as 0), and the one
// flags value that is an ESC gets SourceExact, which its SourceDomain bit
// implies for matching anyway.
char FlagsByte(std::uint16_t flags) {
    char byte = static_cast<char>(flags & 0xFF);
    return byte == kRecordSeparator ? static_cast<char>(byte | SourceExact) : byte;
}

// Where the field that starts at `from` ends: at the next separator, or at
// the end of the record.
std::size_t FieldEnd(std::string_view record, std::size_t from) {
    return std::min(record.find(kRecordSeparator, from), record.size());
}

}  // namespace

RecordFields ReadRecord(std::string_view record) {
    const std::size_t size = record.size();
    RecordFields fields;
    const std::size_t flagsEnd = FieldEnd(record, 0);
    if (flagsEnd > 0) fields.flags = FlagsFromByte(record[flagsEnd - 1]);
    // A missing field is an empty text at the end of the record.
    const std::size_t nameAt = std::min(flagsEnd + 1, size);
    const std::size_t nameEnd = FieldEnd(record, nameAt);
    const std::size_t popupAt = std::min(nameEnd + 1, size);
    const std::size_t popupEnd = FieldEnd(record, popupAt);
    fields.name = record.substr(nameAt, nameEnd - nameAt);
    fields.popupLocation = record.substr(popupAt, popupEnd - popupAt);
    fields.sourceWithSeparators = record.substr(std::min(popupEnd + 1, size));
    return fields;
}

bool IsComplete(const RecordFields& fields) {
    return fields.flags != 0 && !fields.name.empty() && !fields.popupLocation.empty() &&
           fields.sourceWithSeparators.find_first_not_of(kRecordSeparator) !=
               std::string_view::npos;
}

void AppendRecord(std::string& out, const RuleView& rule) {
    char flags = FlagsByte(rule.flags);
    if (flags != '\0') out += flags;
    out += kRecordSeparator;
    out += BlankRecordBreakers(rule.name);
    out += kRecordSeparator;
    out += BlankRecordBreakers(rule.popupLocation);
    out += kRecordSeparator;
    out += BlankRecordBreakers(rule.sourceLocation);
}

}  // namespace qm
