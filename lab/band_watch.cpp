#include "lab/band_watch.h"

#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

constexpr unsigned long kBlinkMilliseconds = 1000;

}  // namespace

std::vector<std::string> BandWatch::observe(const BandSample& sample, unsigned long milliseconds) {
    std::vector<std::string> found;
    if (sample.captionFound) {
        found = captionSet(sample.captionText);
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

std::vector<std::string> BandWatch::captionShown(bool visible, unsigned long milliseconds) {
    std::vector<std::string> found;
    if (seen_ && captionVisible_ && !visible) {
        if (!hiddenBefore_ || milliseconds - lastHidden_ > kBlinkMilliseconds) {
            found.push_back(lines::Flash());
        }
        hiddenBefore_ = true;
        lastHidden_ = milliseconds;
    }
    captionVisible_ = visible;
    seen_ = true;
    return found;
}

std::vector<std::string> BandWatch::captionSet(const std::string& text) {
    std::vector<std::string> found;
    if (text != captionText_ && (seen_ || !text.empty())) found.push_back(lines::Status(text));
    captionText_ = text;
    return found;
}

}  // namespace qm::lab
