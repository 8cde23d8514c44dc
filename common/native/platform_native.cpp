// The core's platform seams on the build host: Latin-1 text and the host's
// local time. Only native tests, benchmarks and fuzzers run with these.

#include <chrono>
#include <ctime>

#include "common/platform.h"

namespace qm {
namespace {

class HostClock : public Clock {
public:
    LocalTime localTime() const override {
        auto now = std::chrono::system_clock::now();
        std::time_t seconds = std::chrono::system_clock::to_time_t(now);
        auto millis =
            std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
            1000;
        std::tm parts{};
        localtime_r(&seconds, &parts);
        LocalTime t;
        t.year = static_cast<std::uint16_t>(parts.tm_year + 1900);
        t.month = static_cast<std::uint16_t>(parts.tm_mon + 1);
        t.dayOfWeek = static_cast<std::uint16_t>(parts.tm_wday);
        t.day = static_cast<std::uint16_t>(parts.tm_mday);
        t.hour = static_cast<std::uint16_t>(parts.tm_hour);
        t.minute = static_cast<std::uint16_t>(parts.tm_min);
        t.second = static_cast<std::uint16_t>(parts.tm_sec);
        t.milliseconds = static_cast<std::uint16_t>(millis);
        return t;
    }
};

}  // namespace

const CodePage& platformCodePage() {
    static const Latin1CodePage codePage;
    return codePage;
}

const Clock& platformClock() {
    static const HostClock clock;
    return clock;
}

void usePlatformSeams() {
    useCodePage(platformCodePage());
    useClock(platformClock());
}

}  // namespace qm
