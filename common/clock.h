#pragma once
// Local time as the system gives it, and a seam so tests can set the time.

#include <cstdint>

namespace qm {

// The eight 16-bit fields of the system's date-and-time form.
struct LocalTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    friend bool operator==(const LocalTime& a, const LocalTime& b) {
        return a.year == b.year && a.month == b.month && a.dayOfWeek == b.dayOfWeek &&
               a.day == b.day && a.hour == b.hour && a.minute == b.minute && a.second == b.second &&
               a.milliseconds == b.milliseconds;
    }
    friend bool operator!=(const LocalTime& a, const LocalTime& b) { return !(a == b); }
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime localTime() const = 0;
};

// The clock the core reads: the one the program put in place (its
// platform's, see common/platform.h) unless a ScopedClock replaced it.
const Clock& systemClock();

// Puts the program's clock in place for the rest of its run.
void useClock(const Clock& clock);

class ScopedClock {
public:
    explicit ScopedClock(const Clock& clock);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;

private:
    const Clock* previous_;
};

}  // namespace qm
