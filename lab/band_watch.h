#pragma once
// What the user sees of the band, turned into trace lines: the status text
// in its caption and the hints of its buttons that take the caption's
// place, each hide and show of the caption (a blink, or the layout when it
// does not fit), and the rows of its "Popup Windows" list (newest first,
// as the band inserts them). Each new row is told twice: title and
// address, then every column.

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
    // The texts of the band's button hints: a caption reading one of them
    // shows a hint, not the status.
    void setHints(std::vector<std::string> hints) { hints_ = std::move(hints); }

    // The lines for what changed since the last sample. `milliseconds` is
    // a steadily rising clock; a caption hidden again by a blink within a
    // second of its last blink belongs to the same blinking.
    std::vector<std::string> observe(const BandSample& sample, unsigned long milliseconds);
    // The band showed or hid its caption, `byLayout` when its layout did:
    // a caption line, after a flash line when a blinking begins.
    std::vector<std::string> captionShown(bool visible, unsigned long milliseconds,
                                          bool byLayout = false);
    // The band set its caption's text: a line when it differs from the
    // last. Setting a hint again restarts its time.
    std::vector<std::string> captionSet(const std::string& text, unsigned long milliseconds = 0);

private:
    bool isHint(const std::string& text) const;

    std::vector<std::string> hints_;
    bool seen_ = false;
    std::string captionText_;
    unsigned long captionSetAt_ = 0;
    bool captionVisible_ = false;
    unsigned long lastChange_ = 0;
    bool blinkedBefore_ = false;
    unsigned long lastBlink_ = 0;
    std::size_t rowCount_ = 0;
};

}  // namespace qm::lab
