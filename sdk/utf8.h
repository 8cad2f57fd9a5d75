// UTF-8 text helpers of the host's library. Letter case is mapped with Unicode's
// simple case mapping, the same mapping for lower-casing and for the case-blind
// comparisons, so two texts that compare equal also lower-case to the same bytes.
// Bytes that are not valid UTF-8 are kept and compared as they are.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "sdk/strings.h"

// Compares without regard to letter case: negative, zero or positive.
int stricmp_utf8(const char* a, const char* b);
// The same over explicit lengths (text_to_terminator: up to the zero).
int stricmp_utf8_ex(const char* a, size_t length_a, const char* b, size_t length_b);
// The host's collation for sorting names shown to the user: case-blind first,
// then by bytes, so that only identical texts compare equal.
int uStringCompare(const char* a, const char* b);

// Appends the lower-case / upper-case form of `text` to `out`.
void uAddStringLower(string_base& out, const char* text, size_t length = text_to_terminator);
void uAddStringUpper(string_base& out, const char* text, size_t length = text_to_terminator);

// The lower-case form appended to a std::string (the same mapping as above).
void utf8_append_lower(std::string& out, std::string_view text);
void utf8_append_upper(std::string& out, std::string_view text);

bool is_valid_utf8(const char* text, size_t length);
