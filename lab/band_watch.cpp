#include "lab/band_watch.h"

#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

constexpr unsigned long kBlinkMilliseconds = 1000;

}  // namespace

std::vector<std::string> BandWatch::observe(const BandSample& sample, unsigned long milliseconds) {
    std::vector<std::string> found;
    if (sample.captionFound) {
        if (sample.captionText != captionText_ && (seen_ || !sample.captionText.empty())) {
            found.push_back(lines::Status(sample.captionText));
        }
        captionText_ = sample.captionText;
        if (seen_ && captionVisible_ && !sample.captionVisible) {
            if (!hiddenBefore_ || milliseconds - lastHidden_ > kBlinkMilliseconds) {
                found.push_back(lines::Flash());
            }
            hiddenBefore_ = true;
            lastHidden_ = milliseconds;
        }
        captionVisible_ = sample.captionVisible;
        seen_ = true;
    }
    if (sample.listFound) {
        std::size_t count = sample.rows.size();
        if (count > rowCount_) {
            // The band puts each new row at the top: the oldest new one is lowest.
            for (std::size_t i = count - rowCount_; i-- > 0;) {
                found.push_back(lines::Record(sample.rows[i].first, sample.rows[i].second));
            }
        } else if (count == 0 && rowCount_ > 0) {
            found.push_back(lines::RecordsCleared());
        }
        rowCount_ = count;
    }
    return found;
}

}  // namespace qm::lab
