// Text at the Windows system calls: the component's UTF-8 becomes the system's
// UTF-16 on the way in and UTF-8 again on the way out.
#pragma once

#include <string>
#include <string_view>

// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::wstring utf8_to_wide(std::string_view text);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string wide_to_utf8(std::wstring_view text);
// `path` (UTF-8) as the wide file calls take it without the 260-character
// limit: made absolute, and then prefixed "\\?\" (or "\\?\UNC\" for a share),
// which also makes forward slashes backslashes. Empty for an empty path.
std::wstring long_path(const char* path);
