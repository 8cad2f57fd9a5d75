// One quick-tag command: the menu entry the user sees and what it writes.
#pragma once

#include <string>

struct quicktag_entry {
    // Full menu path, parts separated by "/": "Tag Shelf/Rate 3". The sort key.
    std::string display_name;
    // Field(s) to write, "|"-separated; a leading "#" on a name appends a value.
    std::string field_name;
    // The value(s) to write, "|"-separated; a title-formatting script when that
    // option is on. May be empty.
    std::string value;

    bool operator==(const quicktag_entry& other) const {
        return display_name == other.display_name && field_name == other.field_name &&
               value == other.value;
    }
    bool operator!=(const quicktag_entry& other) const { return !(*this == other); }
};
