// GUIDs as the host and its components exchange them: 16 bytes in the standard
// memory layout (a 32-bit and two 16-bit groups, little-endian on disk and on the
// wire, then eight bytes in order).
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
// The system's GUID, which has this very layout, so that the two never clash.
#include <guiddef.h>
#else
struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

constexpr bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
        return false;
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i])
            return false;
    }
    return true;
}
constexpr bool operator!=(const GUID& a, const GUID& b) {
    return !(a == b);
}
#endif

inline constexpr GUID guid_null = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// Serialises into the 16-byte standard layout (first three groups little-endian).
void guid_to_bytes(const GUID& guid, uint8_t out[16]);
GUID guid_from_bytes(const uint8_t bytes[16]);

// Upper-case text form with braces, e.g. {1C0802F7-CF24-49EF-B914-8B9866F19779}.
std::string guid_to_string(const GUID& guid);
// Upper-case text form without braces, 36 characters.
std::string guid_to_string_bare(const GUID& guid);
// Reads 32 hexadecimal digits of either case; braces and hyphens are skipped
// wherever they stand. Anything else, or a wrong digit count, gives nothing.
std::optional<GUID> guid_from_string(std::string_view text);
