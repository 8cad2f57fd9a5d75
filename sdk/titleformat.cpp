#include "sdk/titleformat.h"

#include <string>

void titleformat_text_out::write_int(const GUID& input_type, int64_t value) {
    std::string text = std::to_string(value);
    write(input_type, text.data(), text.size());
}
