#include "lab/band_watch.h"

#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

constexpr unsigned long kBlinkMilliseconds = 1000;

}  // namespace

std::vector<std::string> BandWatch::observe(const BandSample& sample, unsigned long milliseconds) {
    std::vector<std::string> found;
    if (sample.captionFound) {
        // A sample only sees a text; the band setting it again is not seen.
        if (sample.captionText != captionText_)
            found = captionSet(sample.captionText, milliseconds);
        std::vector<std::string> blink = captionShown(sample.captionVisible, milliseconds);
        found.insert(found.end(), blink.begin(), blink.end());
    }
    if (sample.listFound) {
        std::size_t count = sample.rows.size();
        if (count > rowCount_) {
            // The band puts each new row at the top: the oldest new one is lowest.
            for (std::size_t i = count - rowCount_; i-- > 0;) {
                const std::vector<std::string>& row = sample.rows[i];
                found.push_back(lines::Record(row.size() > 0 ? row[0] : std::string(),
                                              row.size() > 1 ? row[1] : std::string()));
                found.push_back(lines::Row(row));
            }
        } else if (count == 0 && rowCount_ > 0) {
            found.push_back(lines::RecordsCleared());
        }
        rowCount_ = count;
    }
    return found;
}

std::vector<std::string> BandWatch::captionShown(bool visible, unsigned long milliseconds,
                                                 bool byLayout) {
    std::vector<std::string> found;
    if (!seen_) {
        lastChange_ = milliseconds;
    } else if (captionVisible_ != visible) {
        if (!visible && !byLayout) {
            if (!blinkedBefore_ || milliseconds - lastBlink_ > kBlinkMilliseconds) {
                found.push_back(lines::Flash());
            }
            blinkedBefore_ = true;
            lastBlink_ = milliseconds;
        }
        found.push_back(lines::Caption(visible, byLayout, milliseconds - lastChange_));
        lastChange_ = milliseconds;
    }
    captionVisible_ = visible;
    seen_ = true;
    return found;
}

bool BandWatch::isHint(const std::string& text) const {
    for (const std::string& hint : hints_) {
        if (!hint.empty() && hint == text) return true;
    }
    return false;
}

std::vector<std::string> BandWatch::captionSet(const std::string& text,
                                               unsigned long milliseconds) {
    std::vector<std::string> found;
    if (text == captionText_) {
        captionSetAt_ = milliseconds;
        return found;
    }
    if (isHint(captionText_)) {
        found.push_back(lines::HintGone(captionText_, milliseconds - captionSetAt_));
    }
    if (isHint(text)) {
        found.push_back(lines::HintShown(text));
    } else if (seen_ || !text.empty()) {
        found.push_back(lines::Status(text));
    }
    captionText_ = text;
    captionSetAt_ = milliseconds;
    return found;
}

}  // namespace qm::lab
