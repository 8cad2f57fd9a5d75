#include "host/titleformat/function_library.h"

#include <algorithm>
#include <limits>

#include "host/titleformat/ascii_names.h"
#include "sdk/utf8.h"

namespace {

using args_t = std::vector<function_arg>;
constexpr size_t any_count = std::numeric_limits<size_t>::max();
constexpr int64_t number_max = std::numeric_limits<int64_t>::max();
constexpr int64_t number_min = std::numeric_limits<int64_t>::min();

bool any_truth(const args_t& args) {
    return std::any_of(args.begin(), args.end(), [](const function_arg& a) { return a.truth; });
}

// Arithmetic that stops at the ends of the range instead of overflowing.
int64_t clamp_sum(int64_t a, int64_t b) {
    int64_t result;
    if (__builtin_add_overflow(a, b, &result))
        return b > 0 ? number_max : number_min;
    return result;
}
int64_t clamp_difference(int64_t a, int64_t b) {
    int64_t result;
    if (__builtin_sub_overflow(a, b, &result))
        return b < 0 ? number_max : number_min;
    return result;
}
int64_t clamp_product(int64_t a, int64_t b) {
    int64_t result;
    if (__builtin_mul_overflow(a, b, &result))
        return (a < 0) != (b < 0) ? number_min : number_max;
    return result;
}
// Division by zero leaves the dividend as it is, so a script never fails on it.
int64_t checked_quotient(int64_t a, int64_t b) {
    if (b == 0)
        return a;
    if (a == number_min && b == -1)
        return number_max;
    return a / b;
}
int64_t checked_remainder(int64_t a, int64_t b) {
    if (b == 0)
        return a;
    if (b == -1)
        return 0;
    return a % b;
}

template <int64_t (*step)(int64_t, int64_t)>
bool fold_numbers(const args_t& args, std::string& out) {
    int64_t value = read_number(args[0].text);
    for (size_t i = 1; i < args.size(); ++i)
        value = step(value, read_number(args[i].text));
    out += std::to_string(value);
    return any_truth(args);
}

bool pass(const function_arg& arg, std::string& out) {
    out += arg.text;
    return arg.truth;
}

// Characters are UTF-8 code points: every byte that does not continue a sequence
// starts one.
bool starts_character(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

size_t character_count(std::string_view text) {
    return size_t(std::count_if(text.begin(), text.end(), starts_character));
}

// The byte offset where character number `n` starts (the text's size when it is
// shorter).
size_t character_offset(std::string_view text, size_t n) {
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (starts_character(text[i])) {
            if (seen == n)
                return i;
            ++seen;
        }
    }
    return text.size();
}

size_t read_count(std::string_view text) {
    int64_t n = read_number(text);
    return n < 0 ? 0 : size_t(std::min<int64_t>(n, number_max));
}

bool fn_if(const args_t& args, std::string& out) {
    if (args[0].truth)
        return pass(args[1], out);
    return args.size() > 2 ? pass(args[2], out) : false;
}

bool fn_if2(const args_t& args, std::string& out) {
    return pass(args[0].truth ? args[0] : args[1], out);
}

bool fn_if3(const args_t& args, std::string& out) {
    for (size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i].truth)
            return pass(args[i], out);
    }
    return pass(args.back(), out);
}

bool fn_ifgreater(const args_t& args, std::string& out) {
    bool greater = read_number(args[0].text) > read_number(args[1].text);
    return pass(greater ? args[2] : args[3], out);
}

bool fn_ifequal(const args_t& args, std::string& out) {
    bool equal = read_number(args[0].text) == read_number(args[1].text);
    return pass(equal ? args[2] : args[3], out);
}

bool fn_greater(const args_t& args, std::string&) {
    return read_number(args[0].text) > read_number(args[1].text);
}

bool fn_strcmp(const args_t& args, std::string&) {
    return args[0].text == args[1].text;
}

bool fn_stricmp(const args_t& args, std::string&) {
    return stricmp_utf8_ex(args[0].text.data(), args[0].text.size(), args[1].text.data(),
                           args[1].text.size()) == 0;
}

bool fn_len(const args_t& args, std::string& out) {
    out += std::to_string(character_count(args[0].text));
    return args[0].truth;
}

bool fn_left(const args_t& args, std::string& out) {
    std::string_view text = args[0].text;
    out += text.substr(0, character_offset(text, read_count(args[1].text)));
    return args[0].truth;
}

bool fn_right(const args_t& args, std::string& out) {
    std::string_view text = args[0].text;
    size_t total = character_count(text);
    size_t keep = std::min(total, read_count(args[1].text));
    out += text.substr(character_offset(text, total - keep));
    return args[0].truth;
}

// $pad(text,length[,char]): the text, filled on the right with spaces (or the
// first character of the third parameter) up to `length` characters.
bool fn_pad(const args_t& args, std::string& out) {
    std::string_view text = args[0].text;
    size_t width = std::min(read_count(args[1].text), max_generated_length);
    std::string_view fill = " ";
    if (args.size() > 2 && !args[2].text.empty()) {
        std::string_view given = args[2].text;
        fill = given.substr(0, character_offset(given, 1));
    }
    out += text;
    for (size_t n = character_count(text); n < width; ++n)
        out += fill;
    return args[0].truth;
}

// $num(number,length): the number with leading zeros up to `length` digits.
bool fn_num(const args_t& args, std::string& out) {
    int64_t value = read_number(args[0].text);
    std::string digits = std::to_string(value);
    bool negative = value < 0;
    if (negative)
        digits.erase(0, 1);
    size_t width = std::min(read_count(args[1].text), max_generated_length);
    if (negative)
        out += '-';
    if (digits.size() < width)
        out.append(width - digits.size(), '0');
    out += digits;
    return args[0].truth;
}

bool fn_upper(const args_t& args, std::string& out) {
    utf8_append_upper(out, args[0].text);
    return args[0].truth;
}

bool fn_lower(const args_t& args, std::string& out) {
    utf8_append_lower(out, args[0].text);
    return args[0].truth;
}

bool fn_and(const args_t& args, std::string&) {
    return std::all_of(args.begin(), args.end(), [](const function_arg& a) { return a.truth; });
}

bool fn_or(const args_t& args, std::string&) {
    return any_truth(args);
}

bool fn_not(const args_t& args, std::string&) {
    return !args[0].truth;
}

const builtin_function library[] = {
    {"add", 1, any_count, fold_numbers<clamp_sum>},
    {"sub", 1, any_count, fold_numbers<clamp_difference>},
    {"mul", 1, any_count, fold_numbers<clamp_product>},
    {"div", 1, any_count, fold_numbers<checked_quotient>},
    {"mod", 1, any_count, fold_numbers<checked_remainder>},
    {"if", 2, 3, fn_if},
    {"if2", 2, 2, fn_if2},
    {"if3", 2, any_count, fn_if3},
    {"ifgreater", 4, 4, fn_ifgreater},
    {"ifequal", 4, 4, fn_ifequal},
    {"greater", 2, 2, fn_greater},
    {"strcmp", 2, 2, fn_strcmp},
    {"stricmp", 2, 2, fn_stricmp},
    {"len", 1, 1, fn_len},
    {"left", 2, 2, fn_left},
    {"right", 2, 2, fn_right},
    {"pad", 2, 3, fn_pad},
    {"num", 2, 2, fn_num},
    {"upper", 1, 1, fn_upper},
    {"lower", 1, 1, fn_lower},
    {"and", 1, any_count, fn_and},
    {"or", 1, any_count, fn_or},
    {"not", 1, 1, fn_not},
};

}  // namespace

const builtin_function* find_builtin(std::string_view name) {
    for (const auto& function : library) {
        if (same_name_ascii(name, function.name))
            return &function;
    }
    return nullptr;
}

int64_t read_number(std::string_view text) {
    size_t i = 0;
    bool negative = !text.empty() && text[0] == '-';
    if (negative)
        i = 1;
    // Accumulated as a negative number, whose range reaches one further.
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        if (value < (number_min + digit) / 10) {
            value = number_min;
            continue;
        }
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    return value == number_min ? number_max : -value;
}
