#include "common/clock.h"

namespace qm {
namespace {
const Clock* g_clock = nullptr;
}

const Clock& systemClock() {
    return *g_clock;
}

void useClock(const Clock& clock) {
    g_clock = &clock;
}

ScopedClock::ScopedClock(const Clock& clock) : previous_(g_clock) {
    g_clock = &clock;
}

ScopedClock::~ScopedClock() {
    g_clock = previous_;
}

}  // namespace qm
