#include "host/core/console.h"

#include <cstdio>

void host_console::print(const char* text, size_t length) {
    m_lines.emplace_back(text, length);
    std::fprintf(stderr, "%.*s\n", int(length), text);
    std::fflush(stderr);
}
