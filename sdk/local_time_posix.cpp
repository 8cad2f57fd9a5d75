// The local clock on POSIX systems, with milliseconds.
#include "sdk/local_time.h"

#include <time.h>

local_time read_local_time() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm parts{};
    localtime_r(&now.tv_sec, &parts);
    local_time out;
    out.year = uint16_t(parts.tm_year + 1900);
    out.month = uint16_t(parts.tm_mon + 1);
    out.day_of_week = uint16_t(parts.tm_wday);
    out.day = uint16_t(parts.tm_mday);
    out.hour = uint16_t(parts.tm_hour);
    out.minute = uint16_t(parts.tm_min);
    // A leap second reads as 60 here; the Windows clock never says more than 59.
    out.second = uint16_t(parts.tm_sec > 59 ? 59 : parts.tm_sec);
    out.millisecond = uint16_t(now.tv_nsec / 1000000);
    return out;
}
