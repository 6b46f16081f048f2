// Linux host: local time from clock_gettime and localtime_r, sleeping with nanosleep.
#include "platform/linux/volume/linux_clock.h"

#include <time.h>

#include <cerrno>

namespace tolven::linux_host {

SystemTime HostLocalTime() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    SystemTime time;
    time.wYear = static_cast<uint16_t>(local.tm_year + 1900);
    time.wMonth = static_cast<uint16_t>(local.tm_mon + 1);
    time.wDayOfWeek = static_cast<uint16_t>(local.tm_wday);
    time.wDay = static_cast<uint16_t>(local.tm_mday);
    time.wHour = static_cast<uint16_t>(local.tm_hour);
    time.wMinute = static_cast<uint16_t>(local.tm_min);
    // A leap second (60) is folded into 59, the largest value SYSTEMTIME knows.
    time.wSecond = static_cast<uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    time.wMilliseconds = static_cast<uint16_t>(now.tv_nsec / 1000000);
    return time;
}

SystemTime LinuxClock::GetLocalTime() {
    return HostLocalTime();
}

void LinuxClock::Sleep(uint32_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

}  // namespace tolven::linux_host
