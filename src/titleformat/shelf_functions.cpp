#include "titleformat/shelf_functions.h"

namespace {

bool equals_ascii_nocase(const char* text, const char* lower, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
        if (c != lower[i])
            return false;
    }
    return true;
}

}  // namespace

bool has_shelf_prefix(const char* name, size_t name_length) {
    return name_length >= 5 && equals_ascii_nocase(name, "shelf", 5);
}

shelf_function recognize_shelf_function(const char* name, size_t name_length, size_t params) {
    if (!has_shelf_prefix(name, name_length))
        return shelf_function::none;
    const char* rest = name + 5;
    switch (name_length) {
        case 5:
            return (params == 1 || params == 2) ? shelf_function::shelf : shelf_function::none;
        case 9:
            if (equals_ascii_nocase(rest, "_num", 4)) {
                return params == 1 ? shelf_function::shelf_num : shelf_function::none;
            }
            if (equals_ascii_nocase(rest, "_sep", 4)) {
                return (params == 2 || params == 3) ? shelf_function::shelf_sep
                                                    : shelf_function::none;
            }
            return shelf_function::none;
        case 10:
            return (equals_ascii_nocase(rest, "_list", 5) && params <= 2)
                       ? shelf_function::shelf_list
                       : shelf_function::none;
        default:
            return shelf_function::none;
    }
}

uint32_t read_param_number(const char* text, size_t length) {
    uint32_t value = 0;
    for (size_t i = 0; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10u + uint32_t(text[i] - '0');
    }
    return value;
}
