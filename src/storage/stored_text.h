// Text as a store keeps it. Paths, field names and values leave the store as
// zero-terminated text, so a zero byte inside one could never be read back: every
// method ends text that it loads from its medium at the first zero byte, and
// treats the rest exactly as if the medium held that shorter text. What is loaded
// is then what the next save writes, and a second load gives the same store.
#pragma once

#include <string>

inline void end_at_first_zero(std::string& text) {
    const size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
}
