#include "host/core/console.h"

#include <cstdio>
#include <string_view>

void host_console::print(const char* text, size_t length) {
    if (std::string_view(text, length).substr(0, 8) == "ERROR : ")
        m_error_printed = true;
    std::lock_guard<std::mutex> guard(m_lock);
    // The oldest lines go in batches, so that each line is moved once on average.
    if (m_lines.size() >= 2 * history)
        m_lines.erase(m_lines.begin(), m_lines.end() - history);
    m_lines.emplace_back(text, length);
    std::fprintf(stderr, "%.*s\n", int(length), text);
    std::fflush(stderr);
}
