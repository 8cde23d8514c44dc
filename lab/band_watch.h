#pragma once
// What the user sees of the band, turned into trace lines: the status text
// in its caption, the caption blinking when a popup is stopped, and the
// rows of its "Popup Windows" list (newest first, as the band inserts them).
// Each new row is told twice: title and address, then every column.

#include <string>
#include <vector>

namespace qm::lab {

struct BandSample {
    bool captionFound = false;
    bool captionVisible = false;
    std::string captionText;
    bool listFound = false;
    // Every column of each row (title and address first), top row first.
    std::vector<std::vector<std::string>> rows;
};

class BandWatch {
public:
    // The lines for what changed since the last sample. `milliseconds` is
    // a steadily rising clock; a caption hidden again within a second of
    // its last hiding belongs to the same blinking.
    std::vector<std::string> observe(const BandSample& sample, unsigned long milliseconds);
    // The band showed or hid its caption: a line when a blinking begins.
    std::vector<std::string> captionShown(bool visible, unsigned long milliseconds);
    // The band set its caption's text: a line when it differs from the last.
    std::vector<std::string> captionSet(const std::string& text);

private:
    bool seen_ = false;
    std::string captionText_;
    bool captionVisible_ = false;
    bool hiddenBefore_ = false;
    unsigned long lastHidden_ = 0;
    std::size_t rowCount_ = 0;
};

}  // namespace qm::lab
