// GUIDs in their two outside forms: 16 bytes in the standard layout and
// upper-case text.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "sdk/guid.h"

namespace {

constexpr GUID sample = {
    0x8B9E68E5, 0xFEBE, 0x4565, {0x9F, 0x41, 0xC1, 0x93, 0x7F, 0x6B, 0x5A, 0x4E}};

TEST(Guid, BytesPutTheFirstThreeGroupsLittleEndianAndTheRestInOrder) {
    const uint8_t expected[16] = {0xE5, 0x68, 0x9E, 0x8B, 0xBE, 0xFE, 0x65, 0x45,
                                  0x9F, 0x41, 0xC1, 0x93, 0x7F, 0x6B, 0x5A, 0x4E};
    uint8_t bytes[16];
    guid_to_bytes(sample, bytes);
    EXPECT_EQ(std::memcmp(bytes, expected, 16), 0);
    EXPECT_EQ(guid_from_bytes(expected), sample);
}

TEST(Guid, TextIsUpperCaseHexInGroups) {
    EXPECT_EQ(guid_to_string(sample), "{8B9E68E5-FEBE-4565-9F41-C1937F6B5A4E}");
    EXPECT_EQ(guid_to_string_bare(sample), "8B9E68E5-FEBE-4565-9F41-C1937F6B5A4E");
    EXPECT_EQ(guid_to_string(guid_null), "{00000000-0000-0000-0000-000000000000}");
}

TEST(Guid, TextIsReadInEitherCaseWithOrWithoutBracesAndHyphens) {
    for (const char* text :
         {"{8B9E68E5-FEBE-4565-9F41-C1937F6B5A4E}", "8b9e68e5-febe-4565-9f41-c1937f6b5a4e",
          "8B9E68E5FEBE45659F41C1937F6B5A4E"}) {
        auto guid = guid_from_string(text);
        ASSERT_TRUE(guid.has_value()) << text;
        EXPECT_EQ(*guid, sample) << text;
    }
}

TEST(Guid, MalformedTextGivesNothing) {
    for (const char* text : {"", "{8B9E68E5-FEBE-4565-9F41-C1937F6B5A4}",  // 31 digits
                             "8B9E68E5-FEBE-4565-9F41-C1937F6B5A4E0",      // 33 digits
                             "8B9E68E5-FEBE-4565-9F41-C1937F6B5A4G",       // not a digit
                             "8B9E68E5 FEBE-4565-9F41-C1937F6B5A4E"}) {
        EXPECT_FALSE(guid_from_string(text).has_value()) << text;
    }
}

}  // namespace
