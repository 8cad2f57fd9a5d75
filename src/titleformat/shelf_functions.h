// The $shelf title-formatting functions: recognition by name and parameter count,
// and the numeric reading of parameters.
#pragma once

#include <cstddef>
#include <cstdint>

enum class shelf_function { none, shelf, shelf_num, shelf_sep, shelf_list };

// Whether `name` starts with "shelf", letter case ignored: the cheap test that
// lets every other function pass without further work.
bool has_shelf_prefix(const char* name, size_t name_length);

// Which function `name` (without the dollar sign, letter case ignored) calls with
// `param_count` parameters; none for any other name or a count that does not fit.
shelf_function recognize_shelf_function(const char* name, size_t name_length, size_t param_count);

// The decimal digits at the start of `text`, as an unsigned 32-bit number that
// wraps on overflow; 0 when the text does not start with a digit.
uint32_t read_param_number(const char* text, size_t length);
