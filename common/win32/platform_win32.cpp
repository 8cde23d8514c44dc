// The core's code page and clock bound to Win32.

#include <windows.h>

#include "common/platform.h"

namespace qm {
namespace {

class AnsiCodePage : public CodePage {
public:
    bool isLeadByte(unsigned char byte) const override { return IsDBCSLeadByte(byte) != FALSE; }

    std::wstring toWide(std::string_view text) const override {
        if (text.empty()) return {};
        int length = static_cast<int>(text.size());
        int count = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(count > 0 ? count : 0), L'\0');
        if (count > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], count);
        return wide;
    }

    std::string toAnsi(std::wstring_view text) const override {
        if (text.empty()) return {};
        int length = static_cast<int>(text.size());
        int count =
            WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        std::string ansi(static_cast<std::size_t>(count > 0 ? count : 0), '\0');
        if (count > 0) {
            WideCharToMultiByte(CP_ACP, 0, text.data(), length, &ansi[0], count, nullptr, nullptr);
        }
        return ansi;
    }
};

class SystemClock : public Clock {
public:
    // System time through file time and local file time, as Windows 98 has
    // no SystemTimeToTzSpecificLocalTime.
    LocalTime localTime() const override {
        SYSTEMTIME utc;
        GetSystemTime(&utc);
        FILETIME fileTime;
        FILETIME localFileTime;
        SYSTEMTIME local = utc;
        if (SystemTimeToFileTime(&utc, &fileTime) &&
            FileTimeToLocalFileTime(&fileTime, &localFileTime)) {
            FileTimeToSystemTime(&localFileTime, &local);
        }
        LocalTime t;
        t.year = local.wYear;
        t.month = local.wMonth;
        t.dayOfWeek = local.wDayOfWeek;
        t.day = local.wDay;
        t.hour = local.wHour;
        t.minute = local.wMinute;
        t.second = local.wSecond;
        t.milliseconds = local.wMilliseconds;
        return t;
    }
};

}  // namespace

const CodePage& platformCodePage() {
    static const AnsiCodePage codePage;
    return codePage;
}

const Clock& platformClock() {
    static const SystemClock clock;
    return clock;
}

void usePlatformSeams() {
    useCodePage(platformCodePage());
    useClock(platformClock());
}

}  // namespace qm
