// The host's hashing service gives MD5 digests.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/core/md5_hasher.h"
#include "support/test_host.h"

namespace {

std::string hex(const hasher_result& digest) {
    std::string text;
    char pair[3];
    for (uint8_t b : digest) {
        std::snprintf(pair, sizeof pair, "%02x", b);
        text += pair;
    }
    return text;
}

TEST(HashingService, GivesTheMd5DigestOfTheBytes) {
    test_host host(false);
    auto hashers = host.session().registry().all<hasher>();
    ASSERT_EQ(hashers.size(), 1u) << "one hashing service is registered";
    const std::pair<std::string, const char*> rows[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"The quick brown fox jumps over the lazy dog", "9e107d9d372bb6826bd81d3542a419d6"},
    };
    for (const auto& [text, digest] : rows) {
        EXPECT_EQ(hex(hashers[0]->process_single(text.data(), text.size())), digest) << text;
    }
}

}  // namespace
