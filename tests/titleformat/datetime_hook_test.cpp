// The local date and time as fields of quick-tag value scripts.
#include <gtest/gtest.h>

#include <string>

#include "titleformat/datetime_hook.h"
#include "titleformat/display_hook.h"

namespace {

// Collects what a hook writes, and checks it is tagged as this component's text.
class recorded_text : public titleformat_text_out {
public:
    void write(const GUID& input_type, const char* text, size_t length) override {
        EXPECT_EQ(input_type, tagshelf_input_type);
        text_.append(text,
                     length == text_to_terminator ? std::char_traits<char>::length(text) : length);
    }
    std::string text_;
};

// Tuesday 2026-12-08 03:05:07.042.
local_time tuesday_morning() {
    local_time t;
    t.year = 2026;
    t.month = 12;
    t.day = 8;
    t.day_of_week = 2;
    t.hour = 3;
    t.minute = 5;
    t.second = 7;
    t.millisecond = 42;
    return t;
}

struct resolved {
    bool handled;
    bool found;
    std::string text;
};

resolved resolve(datetime_hook& hook, const std::string& name, bool found_before = true) {
    recorded_text out;
    bool found = found_before;
    bool handled = hook.resolve_field(&out, name.data(), name.size(), found);
    return {handled, found, out.text_};
}

TEST(DatetimeHook, FieldsAreUnpaddedNumbersOfOneClockReading) {
    datetime_hook hook(tuesday_morning());
    const std::pair<const char*, const char*> rows[] = {
        {"_system_year", "2026"},   {"_system_month", "12"},       {"_system_day", "8"},
        {"_system_dayofweek", "2"}, {"_system_hour", "3"},         {"_system_minute", "5"},
        {"_system_second", "7"},    {"_system_millisecond", "42"},
    };
    for (const auto& [name, value] : rows) {
        resolved r = resolve(hook, name, false);
        EXPECT_TRUE(r.handled) << name;
        EXPECT_TRUE(r.found) << name;
        EXPECT_EQ(r.text, value) << name;
    }
}

TEST(DatetimeHook, SundayIsDayZero) {
    local_time sunday = tuesday_morning();
    sunday.day = 6;
    sunday.day_of_week = 0;
    datetime_hook hook(sunday);
    EXPECT_EQ(resolve(hook, "_system_dayofweek").text, "0");
}

TEST(DatetimeHook, NamesMatchWithoutRegardToLetterCase) {
    datetime_hook hook(tuesday_morning());
    EXPECT_EQ(resolve(hook, "_System_Month").text, "12");
    EXPECT_EQ(resolve(hook, "_SYSTEM_Year").text, "2026");
    EXPECT_EQ(resolve(hook, "_system_MILLISECOND").text, "42");
}

TEST(DatetimeHook, OnlyWholeNamesAreResolved) {
    datetime_hook hook(tuesday_morning());
    for (const char* name :
         {"_system_", "_system_days", "_system_dayx", "_system_week", "system_year", "_system_yea",
          "x_system_year", "_system_year_", "", "year", "_system_minutes", "_system_secondx"}) {
        resolved r = resolve(hook, name, true);
        EXPECT_FALSE(r.handled) << name;
        EXPECT_FALSE(r.found) << "a declined reference is marked not found: " << name;
        EXPECT_EQ(r.text, "") << name;
    }
}

TEST(DatetimeHook, NameIsReadOnlyUpToItsLength) {
    datetime_hook hook(tuesday_morning());
    const char text[] = "_system_dayofweek";
    recorded_text out;
    bool found = false;
    EXPECT_TRUE(hook.resolve_field(&out, text, 11, found)) << "the first 11 bytes: _system_day";
    EXPECT_EQ(out.text_, "8");
}

TEST(DatetimeHook, ClockReadingIsWithinItsRanges) {
    datetime_hook hook;
    auto number = [&](const char* name) { return std::stoi(resolve(hook, name).text); };
    EXPECT_GE(number("_system_year"), 2024);
    EXPECT_GE(number("_system_month"), 1);
    EXPECT_LE(number("_system_month"), 12);
    EXPECT_GE(number("_system_day"), 1);
    EXPECT_LE(number("_system_day"), 31);
    EXPECT_LE(number("_system_dayofweek"), 6);
    EXPECT_LE(number("_system_hour"), 23);
    EXPECT_LE(number("_system_minute"), 59);
    EXPECT_LE(number("_system_second"), 60);
    EXPECT_LE(number("_system_millisecond"), 999);
}

}  // namespace
