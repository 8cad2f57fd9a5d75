#include "host/core/console.h"

#include <cstdio>

void host_console::print(const char* text, size_t length) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_lines.emplace_back(text, length);
    std::fprintf(stderr, "%.*s\n", int(length), text);
    std::fflush(stderr);
}
