#include "guard/readiness_watch.h"

namespace qm {

bool ReadinessWatch::Tick(std::int32_t readyState) {
    if (Finished) return false;
    if (readyState != kReadyStateComplete && ReadyTicksLeft > 0) {
        --ReadyTicksLeft;
        return false;
    }
    Finished = 1;
    TimedOut = readyState != kReadyStateComplete;
    return true;
}

}  // namespace qm
