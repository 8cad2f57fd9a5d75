// Splits a quick-tag's field-name or value text into its "|"-separated parts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// "a|b" gives a and b; "||" stands for one "|" inside a part; a trailing single
// "|" adds no empty last part, and the empty text gives no parts.
std::vector<std::string> split_bar_list(std::string_view text);
