#include "guard/popup_record.h"

#include <vector>

#include "common/decimal.h"
#include "common/text.h"

namespace qm {
namespace {

constexpr char kEsc = '\x1B';

// The bars in the order of the feature strings and the description, with
// the value that means "the popup said nothing about it".
struct Bar {
    const char* name;
    std::int32_t PopupRecord::*field;
    std::int32_t initial;
};
const Bar kFeatureBars[] = {
    {"menubar", &PopupRecord::menubar, 1},         {"status", &PopupRecord::status, 1},
    {"location", &PopupRecord::location, 1},       {"toolbar", &PopupRecord::toolbar, 1},
    {"fullscreen", &PopupRecord::fullscreen, 0},   {"resizable", &PopupRecord::resizable, 1},
    {"channelmode", &PopupRecord::channelmode, 0}, {"directories", &PopupRecord::directories, 1},
    {"scrollbars", &PopupRecord::scrollbars, 1},   {"titlebar", &PopupRecord::titlebar, 1},
};

// Bits of the log line's flags word.
struct FlagBit {
    std::int32_t PopupRecord::*field;
    std::uint16_t bit;
};
const FlagBit kFlagBits[] = {
    {&PopupRecord::menubar, 0x001},     {&PopupRecord::resizable, 0x002},
    {&PopupRecord::status, 0x004},      {&PopupRecord::location, 0x008},
    {&PopupRecord::toolbar, 0x010},     {&PopupRecord::fullscreen, 0x020},
    {&PopupRecord::channelmode, 0x040}, {&PopupRecord::directories, 0x080},
    {&PopupRecord::scrollbars, 0x100},  {&PopupRecord::titlebar, 0x200},
    {&PopupRecord::stopped, 0x400},
};

// The time stamp's fields in the order of the log line.
std::uint16_t LocalTime::*const kTimeFields[] = {
    &LocalTime::day,    &LocalTime::dayOfWeek, &LocalTime::hour,   &LocalTime::milliseconds,
    &LocalTime::minute, &LocalTime::month,     &LocalTime::second, &LocalTime::year,
};

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::string Join(const std::vector<std::string>& items, const char* separator) {
    std::string joined;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) joined += separator;
        joined += items[i];
    }
    return joined;
}

const char* YesNo(std::int32_t flag) {
    return flag ? "yes" : "no";
}

void AppendEncoded(std::string& line, unsigned char byte) {
    PopupRecord::EncodedByte encoded = PopupRecord::EncodeByte(byte);
    line.push_back(static_cast<char>(encoded.first));
    line.push_back(static_cast<char>(encoded.second));
}

unsigned char DecodeAt(std::string_view field, std::size_t pair) {
    return PopupRecord::DecodeByte(static_cast<unsigned char>(field[2 * pair]),
                                   static_cast<unsigned char>(field[2 * pair + 1]));
}

}  // namespace

PopupRecord::PopupRecord() : timeStamp(systemClock().localTime()) {}

PopupRecord::PopupRecord(const PopupRecord& other) : PopupRecord() {
    LocalTime now = timeStamp;
    *this = other;
    timeStamp = now;
}

PopupRecord& PopupRecord::operator=(const PopupRecord& other) = default;

PopupRecord::~PopupRecord() = default;

std::wstring PopupRecord::Features(bool full, bool words) const {
    std::vector<std::string> items;
    if (full) {
        if (height >= 100) items.push_back("height=" + DecimalText(height));
        if (width >= 100) items.push_back("width=" + DecimalText(width));
        if (left >= 0) items.push_back("left=" + DecimalText(left));
        if (top >= 0) items.push_back("top=" + DecimalText(top));
    }
    for (const Bar& bar : kFeatureBars) {
        std::int32_t value = this->*bar.field;
        if (!full && value == bar.initial) continue;
        std::string item = std::string(bar.name) + "=";
        item += words ? YesNo(value) : (value ? "1" : "0");
        items.push_back(item);
    }
    if (items.empty()) return full ? L"" : L"-";
    return Widen(Join(items, ","));
}

std::wstring PopupRecord::OpenFeatures(bool full) const {
    return Features(full, false);
}

std::wstring PopupRecord::FeaturesText(bool full) const {
    return Features(full, true);
}

std::wstring PopupRecord::Describe() const {
    std::wstring text;
    auto line = [&text](const std::wstring& content) {
        if (!text.empty()) text += L"\r\n";
        text += content;
    };
    if (stopped) {
        line(L"STOPPED!");
    } else {
        line(L"NOT STOPPED");
        line(L"(this window was recorded, but allowed to open)");
    }
    line(L"title: " + title);
    line(L"url: " + url);
    line(L"target name: " + targetName);
    line(L"source title: " + sourceTitle);
    line(L"source url: " + sourceUrl);
    auto measure = [&line](const char* name, std::int32_t value, std::int32_t least) {
        line(Widen(std::string(name) + ": " +
                   (value >= least ? DecimalText(value) : std::string("undefined"))));
    };
    measure("height", height, 100);
    measure("width", width, 100);
    measure("left", left, 0);
    measure("top", top, 0);
    for (const Bar& bar : kFeatureBars) {
        line(Widen(std::string(bar.name) + ": " + YesNo(this->*bar.field)));
    }
    return text;
}

std::string PopupRecord::ToLogLine() const {
    std::string line;
    for (auto field : kTimeFields) {
        std::uint16_t value = timeStamp.*field;
        AppendEncoded(line, static_cast<unsigned char>(value & 0xFF));
        AppendEncoded(line, static_cast<unsigned char>(value >> 8));
    }
    for (const std::wstring* text : {&title, &url, &sourceTitle, &sourceUrl, &targetName}) {
        line += kEsc;
        // A page chooses its title and address: keep them from breaking the line.
        line += BlankRecordBreakers(ToAnsi(*text));
    }
    line += kEsc;
    for (std::int32_t number : {height, width, left, top}) {
        line += DecimalText(number);
        line += kEsc;
    }
    std::uint16_t flags = 0;
    for (const FlagBit& flag : kFlagBits) {
        if (this->*flag.field) flags |= flag.bit;
    }
    AppendEncoded(line, static_cast<unsigned char>(flags & 0xFF));
    AppendEncoded(line, static_cast<unsigned char>(flags >> 8));
    line += "\r\n";
    return line;
}

void PopupRecord::FromLogLine(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        std::size_t esc = line.find(kEsc, start);
        fields.push_back(line.substr(start, esc == std::string_view::npos ? esc : esc - start));
        if (esc == std::string_view::npos) break;
        start = esc + 1;
    }
    // Texts holding ESC make more than eleven fields: the flags are still the last.
    auto field = [&fields](std::size_t index) {
        return index < fields.size() ? fields[index] : std::string_view();
    };
    std::string_view flagsField = fields.size() >= 11 ? fields.back() : std::string_view();

    std::string_view stamp = field(0);
    if (stamp.size() == 32) {
        for (std::size_t i = 0; i < 8; ++i) {
            timeStamp.*kTimeFields[i] = static_cast<std::uint16_t>(DecodeAt(stamp, 2 * i) |
                                                                   DecodeAt(stamp, 2 * i + 1) << 8);
        }
    } else {
        timeStamp = LocalTime{1978, 1, 1, 1, 12, 0, 0, 0};
    }

    std::wstring* texts[] = {&title, &url, &sourceTitle, &sourceUrl, &targetName};
    for (std::size_t i = 0; i < 5; ++i) *texts[i] = ToWide(field(1 + i));

    std::int32_t* numbers[] = {&height, &width, &left, &top};
    for (std::size_t i = 0; i < 4; ++i) *numbers[i] = ParseDecimal(field(6 + i));

    std::uint16_t flags = 0;
    if (flagsField.size() == 4) {
        flags = static_cast<std::uint16_t>(DecodeAt(flagsField, 0) | DecodeAt(flagsField, 1) << 8);
    }
    for (const FlagBit& flag : kFlagBits) this->*flag.field = flags & flag.bit;
}

PopupRecord::EncodedByte PopupRecord::EncodeByte(unsigned char b) {
    return {static_cast<unsigned char>((b & 0xF0) | 0x01),
            static_cast<unsigned char>(((b & 0x0F) << 4) | 0x01)};
}

unsigned char PopupRecord::DecodeByte(unsigned char c1, unsigned char c2) {
    return static_cast<unsigned char>((c1 & 0xF0) | (c2 >> 4));
}

}  // namespace qm
