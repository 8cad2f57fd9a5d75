#include "sdk/utf8.h"

#include <utf8proc.h>
#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

inline char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}
inline char ascii_upper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 32) : c;
}

size_t length_of(const char* text, size_t length) {
    return length == text_to_terminator ? std::strlen(text) : length;
}

// Appends `text` with every character mapped by `map`; ASCII takes the fast path
// and invalid bytes are copied unchanged.
template <class AsciiMap, class CodepointMap>
void append_mapped(std::string& out, std::string_view text, AsciiMap ascii, CodepointMap map) {
    out.reserve(out.size() + text.size());
    const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(text.data());
    size_t left = text.size();
    while (left) {
        if (*p < 0x80) {
            // A run of ASCII is mapped in one pass into room for all that is left,
            // and the room it did not use is given back.
            size_t at = out.size();
            out.resize(at + left);
            char* to = &out[at];
            size_t run = 0;
            for (; run < left && p[run] < 0x80; ++run)
                to[run] = ascii(char(p[run]));
            out.resize(at + run);
            p += run;
            left -= run;
            continue;
        }
        utf8proc_int32_t cp;
        utf8proc_ssize_t used = utf8proc_iterate(p, utf8proc_ssize_t(left), &cp);
        if (used <= 0) {
            out.push_back(char(*p));
            ++p;
            --left;
            continue;
        }
        utf8proc_uint8_t encoded[4];
        utf8proc_ssize_t n = utf8proc_encode_char(map(cp), encoded);
        out.append(reinterpret_cast<const char*>(encoded), size_t(n));
        p += used;
        left -= size_t(used);
    }
}

int compare_bytes(std::string_view a, std::string_view b) {
    int c = std::memcmp(a.data(), b.data(), a.size() < b.size() ? a.size() : b.size());
    if (c)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace

void utf8_append_lower(std::string& out, std::string_view text) {
    append_mapped(
        out, text, [](char c) { return ascii_lower(c); }, utf8proc_tolower);
}

void utf8_append_upper(std::string& out, std::string_view text) {
    append_mapped(
        out, text, [](char c) { return ascii_upper(c); }, utf8proc_toupper);
}

int stricmp_utf8_ex(const char* a, size_t length_a, const char* b, size_t length_b) {
    length_a = length_of(a, length_a);
    length_b = length_of(b, length_b);
    // Most texts compared are spelt alike, which one byte comparison settles.
    if (length_a == length_b && std::memcmp(a, b, length_a) == 0)
        return 0;
    // Texts compared often share a long beginning (paths of one folder): equal
    // bytes are skipped eight at a time, then back to just after an ASCII byte, so
    // that the part skipped is whole characters, which fold alike in both.
    size_t i = 0;
    const size_t shorter = std::min(length_a, length_b);
    while (i + 8 <= shorter && std::memcmp(a + i, b + i, 8) == 0)
        i += 8;
    while (i > 0 && static_cast<unsigned char>(a[i - 1]) >= 0x80)
        --i;
    // ASCII fast path; the first non-ASCII byte hands the rest to the full mapping.
    for (; i < length_a && i < length_b; ++i) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[i]);
        if (ca >= 0x80 || cb >= 0x80)
            break;
        if (ca == cb)
            continue;
        unsigned char la = static_cast<unsigned char>(ascii_lower(char(ca)));
        unsigned char lb = static_cast<unsigned char>(ascii_lower(char(cb)));
        if (la != lb)
            return la < lb ? -1 : 1;
    }
    if (i == length_a || i == length_b) {
        return length_a == length_b ? 0 : (i == length_a ? -1 : 1);
    }
    std::string lower_a, lower_b;
    utf8_append_lower(lower_a, std::string_view(a + i, length_a - i));
    utf8_append_lower(lower_b, std::string_view(b + i, length_b - i));
    return compare_bytes(lower_a, lower_b);
}

int stricmp_utf8(const char* a, const char* b) {
    return stricmp_utf8_ex(a, text_to_terminator, b, text_to_terminator);
}

int uStringCompare(const char* a, const char* b) {
    int c = stricmp_utf8(a, b);
    return c ? c : compare_bytes(a, b);
}

void uAddStringLower(string_base& out, const char* text, size_t length) {
    std::string lower;
    utf8_append_lower(lower, std::string_view(text, length_of(text, length)));
    out.add_string(lower.data(), lower.size());
}

void uAddStringUpper(string_base& out, const char* text, size_t length) {
    std::string upper;
    utf8_append_upper(upper, std::string_view(text, length_of(text, length)));
    out.add_string(upper.data(), upper.size());
}

bool is_valid_utf8(const char* text, size_t length) {
    const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(text);
    while (length) {
        if (*p < 0x80) {
            ++p;
            --length;
            continue;
        }
        utf8proc_int32_t cp;
        utf8proc_ssize_t used = utf8proc_iterate(p, utf8proc_ssize_t(length), &cp);
        if (used <= 0)
            return false;
        p += used;
        length -= size_t(used);
    }
    return true;
}
