// The host's hashing service: MD5 digests, computed by the system's libmd where
// it has one (md5_hasher.cpp) and by the host itself elsewhere
// (md5_hasher_builtin.cpp).
#pragma once

#include "sdk/hasher.h"

class md5_hasher : public hasher {
public:
    void initialize(hasher_state& state) override;
    void process(hasher_state& state, const void* data, size_t size) override;
    hasher_result get_result(const hasher_state& state) override;
};
