// The host's own title-formatting functions ($add, $if, $left, ...), looked up
// by name without regard to ASCII letter case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One evaluated parameter: its text, and whether it counts as true in a
// condition (a field inside it was found, or a boolean function answered true).
struct function_arg {
    std::string text;
    bool truth = false;
};

struct builtin_function {
    const char* name;
    size_t min_params;
    size_t max_params;
    // Appends the result to `out` and answers whether the result counts as true.
    // Boolean functions ($greater, $strcmp, $and, ...) write nothing and answer
    // their value; the others answer true when any parameter they use was true.
    bool (*run)(const std::vector<function_arg>& args, std::string& out);
};

// The function named `name`, or null when the host has none of that name.
const builtin_function* find_builtin(std::string_view name);

// A parameter read as a number: an optional minus sign and the decimal digits
// that follow it, up to the first other character; text that does not start so
// reads as 0. Values beyond the 64-bit range stop at its ends.
int64_t read_number(std::string_view text);

// The longest text $pad and $num produce, in characters: a script cannot make
// the host allocate without bound.
inline constexpr size_t max_generated_length = 65536;
