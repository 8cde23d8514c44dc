#pragma once
// One attempted new window: where it wanted to go, who opened it, its size,
// position and bars, when it happened and whether it was stopped; with its
// feature strings, description and activity-log line.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/clock.h"

namespace qm {

class PopupRecord {
public:
    PopupRecord();
    // Copies every field but the time stamp, which is the time of the copy.
    PopupRecord(const PopupRecord& other);
    // Copies every field, the time stamp included.
    PopupRecord& operator=(const PopupRecord& other);
    // A move is not a copy: the record keeps its time stamp, also when a
    // container relocates it.
    PopupRecord(PopupRecord&& other) noexcept = default;
    PopupRecord& operator=(PopupRecord&& other) noexcept = default;
    virtual ~PopupRecord();

    // The feature string for window.open ("height=300,width=250,menubar=1,...").
    std::wstring OpenFeatures(bool full) const;
    // The same features in words ("toolbar=no,resizable=yes"); "-" for none when not full.
    std::wstring FeaturesText(bool full) const;
    // Lines joined with CR LF, without the time stamp.
    std::wstring Describe() const;
    // One activity-log line including its CR LF, in the system's ANSI code page.
    std::string ToLogLine() const;
    // Fills the record from one log line given without its CR LF.
    void FromLogLine(std::string_view line);

    struct EncodedByte {
        unsigned char first;
        unsigned char second;
    };
    // Two bytes that are never zero, ESC, CR or LF.
    static EncodedByte EncodeByte(unsigned char b);
    static unsigned char DecodeByte(unsigned char c1, unsigned char c2);

    std::wstring title;
    std::wstring url;
    std::wstring sourceTitle;
    std::wstring sourceUrl;
    std::wstring targetName;
    std::int32_t height = -1;
    std::int32_t width = -1;
    std::int32_t left = -1;
    std::int32_t top = -1;
    std::int32_t menubar = 1;
    std::int32_t resizable = 1;
    std::int32_t status = 1;
    std::int32_t location = 1;
    std::int32_t toolbar = 1;
    std::int32_t fullscreen = 0;
    std::int32_t stopped = 1;
    LocalTime timeStamp;
    std::int32_t channelmode = 0;
    std::int32_t directories = 1;
    std::int32_t scrollbars = 1;
    std::int32_t titlebar = 1;

private:
    std::wstring Features(bool full, bool words) const;
};

}  // namespace qm
