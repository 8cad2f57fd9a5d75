#include "host/core/md5_hasher.h"

#include <md5.h>

#include <cstring>
#include <new>

static_assert(sizeof(MD5_CTX) <= sizeof(hasher_state::data), "hasher_state too small for MD5");
static_assert(alignof(MD5_CTX) <= alignof(hasher_state), "hasher_state misaligned for MD5");

namespace {

MD5_CTX* context(hasher_state& state) {
    return std::launder(reinterpret_cast<MD5_CTX*>(state.data));
}

}  // namespace

void md5_hasher::initialize(hasher_state& state) {
    MD5Init(new (state.data) MD5_CTX);
}

void md5_hasher::process(hasher_state& state, const void* data, size_t size) {
    MD5Update(context(state), static_cast<const uint8_t*>(data), size);
}

hasher_result md5_hasher::get_result(const hasher_state& state) {
    // Finishing consumes the context, so finish a copy and leave the caller's
    // state usable for more bytes.
    MD5_CTX copy;
    std::memcpy(&copy, state.data, sizeof copy);
    hasher_result digest;
    MD5Final(digest.data(), &copy);
    return digest;
}
