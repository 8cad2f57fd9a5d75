// The local wall-clock time as the host's helper library reads it: one reading of
// the system clock, broken into calendar parts in the local time zone.
#pragma once

#include <cstdint>

struct local_time {
    uint16_t year = 0;         // the full year, e.g. 2026
    uint16_t month = 0;        // 1 to 12
    uint16_t day_of_week = 0;  // 0 Sunday to 6 Saturday
    uint16_t day = 0;          // 1 to 31
    uint16_t hour = 0;         // 0 to 23
    uint16_t minute = 0;       // 0 to 59
    uint16_t second = 0;       // 0 to 59
    uint16_t millisecond = 0;  // 0 to 999
};

// Reads the clock once.
local_time read_local_time();
