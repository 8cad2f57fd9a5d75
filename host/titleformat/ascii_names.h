// Name matching for function and field names, which the host compares without
// regard to ASCII letter case.
#pragma once

#include <string_view>

// True when `name` equals `lower_name` (written in lower case) ignoring ASCII case.
inline bool same_name_ascii(std::string_view name, std::string_view lower_name) {
    if (name.size() != lower_name.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != lower_name[i])
            return false;
    }
    return true;
}
