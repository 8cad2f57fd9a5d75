// Letter case of UTF-8 text: the case-blind comparison and the lower-casing that
// feeds the location hash must agree, or one track could be stored twice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdk/utf8.h"
#include "storage/store.h"

namespace {

std::string lower(const std::string& text) {
    string8 out;
    uAddStringLower(out, text.c_str());
    return out.str();
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Texts that differ only in letter case, in ASCII and beyond, in different byte
// lengths, and with bytes that are not UTF-8.
const std::vector<std::pair<std::string, std::string>> same_but_case = {
    {"file:///Music/A.MP3", "FILE:///music/a.mp3"},
    {"\xC3\x89", "\xC3\xA9"},                                  // É é
    {"/\xC3\x89t\xC3\xA9/x.mp3", "/\xC3\xA9T\xC3\x89/X.MP3"},  // Été éTÉ
    {"\xC3\x80\xC3\x89\xC3\x8E\xC3\x95\xC3\x9C", "\xC3\xA0\xC3\xA9\xC3\xAE\xC3\xB5\xC3\xBC"},
    {"\xD0\x94\xD0\x9E\xD0\x9C", "\xD0\xB4\xD0\xBE\xD0\xBC"},  // ДОМ дом
    {"\xCE\xA9mega", "\xCF\x89MEGA"},                          // Ωmega ωMEGA
    {"\xE2\x84\xAA", "k"},                                     // Kelvin sign, 3 bytes vs 1
    {"abc\xC3\x89z", "ABC\xC3\xA9Z"},                          // ASCII first, then not
    {"abcdefg\xC3\xA9", "abcdefg\xC3\x89"},  // eight equal bytes end inside a character
    {"file:///music/Album/\xC3\xA9t\xC3\xA9", "file:///music/Album/\xC3\x89T\xC3\x89"},
    {"\xFF"
     "A",
     "\xFF"
     "a"},  // an invalid byte is kept
};

const std::vector<std::pair<std::string, std::string>> different = {
    {"a", "b"},
    {"abc", "abcd"},
    {"\xC3\xA9", "e"},
    {"\xC3\x9F", "SS"},  // sharp s has no single-letter upper case
    {"\xFF", "\xFE"},
    {"", "a"},
    {"abcdefghijklmnop", "abcdefghijklmnoq"},
    {"abcdefg\xC3\xA9", "abcdefg\xC3\xA8"},
};

TEST(CaseMapping, TextsDifferingOnlyInCaseCompareEqualLowerEqualAndHashEqual) {
    for (const auto& [a, b] : same_but_case) {
        SCOPED_TRACE(a + " / " + b);
        EXPECT_EQ(stricmp_utf8(a.c_str(), b.c_str()), 0);
        EXPECT_EQ(stricmp_utf8_ex(a.data(), a.size(), b.data(), b.size()), 0);
        EXPECT_EQ(lower(a), lower(b));
        EXPECT_EQ(location_hash(a, 1), location_hash(b, 1));
        EXPECT_NE(uStringCompare(a.c_str(), b.c_str()), 0) << "only identical texts collate equal";
    }
}

TEST(CaseMapping, DifferentTextsCompareUnequalInBothDirections) {
    for (const auto& [a, b] : different) {
        SCOPED_TRACE(a + " / " + b);
        int forward = stricmp_utf8(a.c_str(), b.c_str());
        EXPECT_NE(forward, 0);
        EXPECT_EQ(sign(forward), -sign(stricmp_utf8(b.c_str(), a.c_str())));
        EXPECT_NE(lower(a), lower(b));
    }
}

TEST(CaseMapping, ComparisonAgreesWithLowerCasingOverEveryPair) {
    std::vector<std::string> texts;
    for (const auto& [a, b] : same_but_case) {
        texts.push_back(a);
        texts.push_back(b);
    }
    for (const auto& [a, b] : different) {
        texts.push_back(a);
        texts.push_back(b);
    }
    for (const auto& a : texts) {
        for (const auto& b : texts) {
            int by_compare = sign(stricmp_utf8(a.c_str(), b.c_str()));
            int by_lowering = sign(lower(a).compare(lower(b)));
            EXPECT_EQ(by_compare, by_lowering) << a << " / " << b;
        }
    }
}

TEST(CaseMapping, ExplicitLengthsStopTheComparison) {
    EXPECT_EQ(stricmp_utf8_ex("ABCdef", 3, "abcXYZ", 3), 0);
    EXPECT_LT(stricmp_utf8_ex("abc", 2, "abc", 3), 0);
    EXPECT_EQ(stricmp_utf8_ex("\xC3\x89xyz", 2, "\xC3\xA9", text_to_terminator), 0);
}

TEST(CaseMapping, UpperCasingMapsBeyondAscii) {
    string8 out("prefix:");
    uAddStringUpper(out, "\xC3\xA9t\xC3\xA9 abc");
    EXPECT_EQ(out.str(), "prefix:\xC3\x89T\xC3\x89 ABC");
}

}  // namespace
