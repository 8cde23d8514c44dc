#include "common/clock.h"

namespace qm {
namespace {
const Clock* g_override = nullptr;
}

const Clock& systemClock() {
    return g_override ? *g_override : platformClock();
}

ScopedClock::ScopedClock(const Clock& clock) : previous_(g_override) {
    g_override = &clock;
}

ScopedClock::~ScopedClock() {
    g_override = previous_;
}

}  // namespace qm
