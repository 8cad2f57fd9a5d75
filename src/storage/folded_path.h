// A path lower-cased with the component's one case mapping, the form in which
// the store indexes locations: two paths that compare equal without regard to
// letter case fold to the same bytes. Paths of usual length are folded on the
// stack, since every lookup of title formatting folds the sought path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "sdk/utf8.h"

class folded_path {
public:
    explicit folded_path(std::string_view path) {
        if (path.size() <= sizeof m_short && fold_ascii(path))
            return;
        m_long.clear();
        utf8_append_lower(m_long, path);
        m_view = m_long;
    }
    folded_path(const folded_path&) = delete;
    folded_path& operator=(const folded_path&) = delete;

    std::string_view view() const { return m_view; }

private:
    // Lowers an all-ASCII path into the stack buffer; false at the first other byte.
    // Eight bytes at a time: for bytes below 0x80, adding 0x80 - 'A' sets a byte's
    // top bit when it is 'A' or above, adding 0x80 - 'Z' - 1 when it is above 'Z',
    // and no sum carries into the next byte.
    bool fold_ascii(std::string_view path) {
        constexpr uint64_t ones = 0x0101010101010101u;
        constexpr uint64_t tops = 0x80 * ones;
        size_t i = 0;
        for (; i + 8 <= path.size(); i += 8) {
            uint64_t word;
            std::memcpy(&word, path.data() + i, 8);
            if (word & tops)
                return false;
            const uint64_t upper = (word + (0x80 - 'A') * ones) & ~(word + (0x80 - 'Z' - 1) * ones);
            word |= (upper & tops) >> 2;
            std::memcpy(m_short + i, &word, 8);
        }
        for (; i < path.size(); ++i) {
            auto c = static_cast<unsigned char>(path[i]);
            if (c >= 0x80)
                return false;
            m_short[i] = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
        }
        m_view = std::string_view(m_short, path.size());
        return true;
    }

    char m_short[256];
    std::string m_long;
    std::string_view m_view;
};
