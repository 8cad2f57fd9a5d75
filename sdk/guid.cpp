#include "sdk/guid.h"

#include <cstdio>

void guid_to_bytes(const GUID& guid, uint8_t out[16]) {
    out[0] = uint8_t(guid.Data1);
    out[1] = uint8_t(guid.Data1 >> 8);
    out[2] = uint8_t(guid.Data1 >> 16);
    out[3] = uint8_t(guid.Data1 >> 24);
    out[4] = uint8_t(guid.Data2);
    out[5] = uint8_t(guid.Data2 >> 8);
    out[6] = uint8_t(guid.Data3);
    out[7] = uint8_t(guid.Data3 >> 8);
    std::memcpy(out + 8, guid.Data4, 8);
}

GUID guid_from_bytes(const uint8_t bytes[16]) {
    GUID guid;
    guid.Data1 = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                 uint32_t(bytes[3]) << 24;
    guid.Data2 = uint16_t(bytes[4] | bytes[5] << 8);
    guid.Data3 = uint16_t(bytes[6] | bytes[7] << 8);
    std::memcpy(guid.Data4, bytes + 8, 8);
    return guid;
}

std::string guid_to_string_bare(const GUID& g) {
    char text[40];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  unsigned(g.Data1), unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

std::string guid_to_string(const GUID& guid) {
    return "{" + guid_to_string_bare(guid) + "}";
}

std::optional<GUID> guid_from_string(std::string_view text) {
    uint8_t digits[32];
    size_t count = 0;
    for (char c : text) {
        if (c == '{' || c == '}' || c == '-')
            continue;
        int value;
        if (c >= '0' && c <= '9') {
            value = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            value = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            value = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        if (count == 32)
            return std::nullopt;
        digits[count++] = uint8_t(value);
    }
    if (count != 32)
        return std::nullopt;
    auto hex = [&](size_t first, size_t n) {
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i)
            v = v << 4 | digits[first + i];
        return v;
    };
    GUID guid;
    guid.Data1 = hex(0, 8);
    guid.Data2 = uint16_t(hex(8, 4));
    guid.Data3 = uint16_t(hex(12, 4));
    for (size_t i = 0; i < 8; ++i)
        guid.Data4[i] = uint8_t(hex(16 + 2 * i, 2));
    return guid;
}
