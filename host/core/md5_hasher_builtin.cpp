// MD5 (RFC 1321) computed by the host itself, for systems without libmd.
#include <algorithm>
#include <cstring>
#include <new>

#include "host/core/md5_hasher.h"

namespace {

struct md5_context {
    uint32_t state[4];
    uint64_t length;  // bytes fed so far
    uint8_t block[64];
};

static_assert(sizeof(md5_context) <= sizeof(hasher_state::data), "hasher_state too small for MD5");

constexpr uint32_t sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
constexpr int shifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

uint32_t rotate_left(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

void transform(uint32_t state[4], const uint8_t block[64]) {
    uint32_t words[16];
    for (int i = 0; i < 16; ++i) {
        words[i] = uint32_t(block[4 * i]) | uint32_t(block[4 * i + 1]) << 8 |
                   uint32_t(block[4 * i + 2]) << 16 | uint32_t(block[4 * i + 3]) << 24;
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        uint32_t f;
        int word;
        switch (round) {
            case 0:
                f = (b & c) | (~b & d);
                word = i;
                break;
            case 1:
                f = (d & b) | (~d & c);
                word = (5 * i + 1) % 16;
                break;
            case 2:
                f = b ^ c ^ d;
                word = (3 * i + 5) % 16;
                break;
            default:
                f = c ^ (b | ~d);
                word = (7 * i) % 16;
                break;
        }
        const uint32_t next = d;
        d = c;
        c = b;
        b = b + rotate_left(a + f + sines[i] + words[word], shifts[round][i % 4]);
        a = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void update(md5_context& context, const uint8_t* bytes, size_t size) {
    size_t used = size_t(context.length % 64);
    context.length += size;
    if (used) {
        const size_t take = std::min<size_t>(64 - used, size);
        std::memcpy(context.block + used, bytes, take);
        bytes += take;
        size -= take;
        if (used + take < 64)
            return;
        transform(context.state, context.block);
    }
    for (; size >= 64; bytes += 64, size -= 64)
        transform(context.state, bytes);
    std::memcpy(context.block, bytes, size);
}

md5_context* context_of(hasher_state& state) {
    return std::launder(reinterpret_cast<md5_context*>(state.data));
}

}  // namespace

void md5_hasher::initialize(hasher_state& state) {
    new (state.data) md5_context{{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}, 0, {}};
}

void md5_hasher::process(hasher_state& state, const void* data, size_t size) {
    update(*context_of(state), static_cast<const uint8_t*>(data), size);
}

hasher_result md5_hasher::get_result(const hasher_state& state) {
    // Padding changes the context, so finish a copy and leave the caller's
    // state usable for more bytes.
    md5_context copy;
    std::memcpy(&copy, state.data, sizeof copy);
    const uint64_t bits = copy.length * 8;
    uint8_t padding[72] = {0x80};
    const size_t used = size_t(copy.length % 64);
    const size_t pad = used < 56 ? 56 - used : 120 - used;
    for (int i = 0; i < 8; ++i)
        padding[pad + size_t(i)] = uint8_t(bits >> (8 * i));
    update(copy, padding, pad + 8);
    hasher_result digest;
    for (int i = 0; i < 16; ++i)
        digest[size_t(i)] = uint8_t(copy.state[i / 4] >> (8 * (i % 4)));
    return digest;
}
