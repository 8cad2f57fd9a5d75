// The host's hashing service: a 16-byte digest of any run of bytes, stable across
// sessions and machines. The state is opaque to callers; the host's algorithm
// fills it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "sdk/service.h"

// Room for the host's running state; callers only pass it back.
struct hasher_state {
    alignas(8) uint8_t data[256];
};

using hasher_result = std::array<uint8_t, 16>;

class hasher : public service_base {
public:
    using interface_type = hasher;
    using parent_class = service_base;
    static constexpr GUID class_guid = {
        0x4B897EC8, 0xA2F9, 0x478D, {0xA9, 0x5E, 0x1A, 0x21, 0x10, 0xA4, 0x00, 0x78}};

    // Starts a new digest in `state`.
    virtual void initialize(hasher_state& state) = 0;
    // Feeds `size` bytes into the digest.
    virtual void process(hasher_state& state, const void* data, size_t size) = 0;
    // The digest of every byte fed so far; `state` stays usable.
    virtual hasher_result get_result(const hasher_state& state) = 0;

    // The digest of one block of bytes.
    hasher_result process_single(const void* data, size_t size) {
        hasher_state state;
        initialize(state);
        process(state, data, size);
        return get_result(state);
    }

protected:
    ~hasher() = default;
};
