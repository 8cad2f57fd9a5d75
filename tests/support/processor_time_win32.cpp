#include "support/processor_time.h"

#include <windows.h>

// The C runtime's clock() counts wall time here, so the process's own times are read.
double processor_seconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto ticks = [](const FILETIME& time) {
        return double(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart);
    };
    // FILETIME counts 100-nanosecond steps.
    return (ticks(kernel) + ticks(user)) / 1e7;
}
