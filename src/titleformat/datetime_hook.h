// Supplies the local date and time to the value scripts of one quick-tag command
// as the fields %_system_year%, %_system_month%, %_system_day%,
// %_system_dayofweek% (0 Sunday), %_system_hour%, %_system_minute%,
// %_system_second% and %_system_millisecond%: plain decimal numbers without
// leading zeros. The clock is read once, when the hook is made, so every track of
// one command sees the same time. It lives on the stack of the command using it.
#pragma once

#include <string>

#include "sdk/local_time.h"
#include "sdk/titleformat.h"

class datetime_hook final : public titleformat_hook {
public:
    // Reads the local clock now.
    datetime_hook();
    // Uses the given reading instead of the clock.
    explicit datetime_hook(const local_time& now);

    // Field names match without regard to ASCII letter case and only as a whole.
    bool resolve_field(titleformat_text_out* out, const char* name, size_t name_length,
                       bool& found) override;
    // The hook has no functions.
    bool resolve_function(titleformat_text_out* out, const char* name, size_t name_length,
                          titleformat_hook_function_params* params, bool& found) override;

private:
    std::string m_year;
    std::string m_month;
    std::string m_day;
    std::string m_dayofweek;
    std::string m_hour;
    std::string m_minute;
    std::string m_second;
    std::string m_millisecond;
};
