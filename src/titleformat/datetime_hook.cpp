#include "titleformat/datetime_hook.h"

#include <string_view>

#include "titleformat/display_hook.h"

namespace {

constexpr std::string_view field_prefix = "_system_";

bool equals_ascii_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

}  // namespace

datetime_hook::datetime_hook() : datetime_hook(read_local_time()) {}

datetime_hook::datetime_hook(const local_time& now)
    : m_year(std::to_string(now.year)),
      m_month(std::to_string(now.month)),
      m_day(std::to_string(now.day)),
      m_dayofweek(std::to_string(now.day_of_week)),
      m_hour(std::to_string(now.hour)),
      m_minute(std::to_string(now.minute)),
      m_second(std::to_string(now.second)),
      m_millisecond(std::to_string(now.millisecond)) {}

bool datetime_hook::resolve_field(titleformat_text_out* out, const char* name, size_t name_length,
                                  bool& found) {
    found = false;
    if (!name || name_length < field_prefix.size())
        return false;
    std::string_view whole(name, name_length);
    if (!equals_ascii_nocase(whole.substr(0, field_prefix.size()), field_prefix))
        return false;
    std::string_view suffix = whole.substr(field_prefix.size());
    const std::pair<std::string_view, const std::string*> fields[] = {
        {"year", &m_year},     {"month", &m_month},
        {"day", &m_day},       {"dayofweek", &m_dayofweek},
        {"hour", &m_hour},     {"minute", &m_minute},
        {"second", &m_second}, {"millisecond", &m_millisecond},
    };
    for (const auto& [field, value] : fields) {
        if (equals_ascii_nocase(suffix, field)) {
            out->write(tagshelf_input_type, value->data(), value->size());
            found = true;
            return true;
        }
    }
    return false;
}

bool datetime_hook::resolve_function(titleformat_text_out*, const char*, size_t,
                                     titleformat_hook_function_params*, bool&) {
    return false;
}
