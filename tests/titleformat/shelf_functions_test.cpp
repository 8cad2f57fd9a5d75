// Which $shelf calls the component answers, and how it reads numbers.
#include <gtest/gtest.h>

#include <cstring>

#include "titleformat/shelf_functions.h"

namespace {

TEST(ShelfFunctions, RecognisesEachFunctionOnlyWithAFittingParameterCount) {
    struct row {
        const char* name;
        size_t params;
        shelf_function expected;
    };
    const row rows[] = {
        {"shelf", 0, shelf_function::none},
        {"shelf", 1, shelf_function::shelf},
        {"shelf", 2, shelf_function::shelf},
        {"shelf", 3, shelf_function::none},
        {"shelf_num", 1, shelf_function::shelf_num},
        {"shelf_num", 2, shelf_function::none},
        {"shelf_sep", 1, shelf_function::none},
        {"shelf_sep", 2, shelf_function::shelf_sep},
        {"shelf_sep", 3, shelf_function::shelf_sep},
        {"shelf_list", 0, shelf_function::shelf_list},
        {"shelf_list", 2, shelf_function::shelf_list},
        {"shelf_list", 3, shelf_function::none},
        {"SHELF_NUM", 1, shelf_function::shelf_num},
        {"Shelf_Sep", 2, shelf_function::shelf_sep},
        {"shelf_lst", 1, shelf_function::none},
        {"shelfx", 1, shelf_function::none},
        {"shelf_nums", 1, shelf_function::none},
        {"shelv", 1, shelf_function::none},
        {"she", 1, shelf_function::none},
        {"add", 2, shelf_function::none},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(recognize_shelf_function(r.name, std::strlen(r.name), r.params), r.expected)
            << r.name << " with " << r.params << " parameter(s)";
    }
}

TEST(ShelfFunctions, ParameterNumbersAreLeadingDigitsOnly) {
    struct row {
        const char* text;
        uint32_t expected;
    };
    const row rows[] = {
        {"0", 0},          {"1", 1},  {"42", 42}, {"2nd", 2}, {"x", 0},
        {"", 0},           {"-1", 0}, {" 3", 0},  {"+3", 0},  {"4294967295", 4294967295u},
        {"4294967296", 0},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(read_param_number(r.text, std::strlen(r.text)), r.expected) << r.text;
    }
    EXPECT_EQ(read_param_number("12345", 2), 12u) << "reads only the given length";
}

}  // namespace
