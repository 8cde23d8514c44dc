#pragma once

#include "common/clock.h"

namespace qm::testing {

// A clock that shows whatever time the test sets, installed while it lives.
class FakeClock : public Clock {
public:
    explicit FakeClock(LocalTime now) : now_(now), scope_(*this) {}
    LocalTime localTime() const override { return now_; }
    void set(LocalTime now) { now_ = now; }

private:
    LocalTime now_;
    ScopedClock scope_;
};

}  // namespace qm::testing
