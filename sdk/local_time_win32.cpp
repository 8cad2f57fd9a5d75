// The local clock on Windows: the system's own calendar reading.
#include "sdk/local_time.h"

#include <windows.h>

local_time read_local_time() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    local_time out;
    out.year = now.wYear;
    out.month = now.wMonth;
    out.day_of_week = now.wDayOfWeek;
    out.day = now.wDay;
    out.hour = now.wHour;
    out.minute = now.wMinute;
    out.second = now.wSecond;
    out.millisecond = now.wMilliseconds;
    return out;
}
