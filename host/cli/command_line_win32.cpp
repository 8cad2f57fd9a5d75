#include "host/cli/command_line_win32.h"

#include "sdk/utf16_win32.h"

namespace {

std::wstring quoted_argument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

}  // namespace

std::wstring windows_command_line(const std::vector<std::string>& words) {
    std::wstring line;
    for (const auto& word : words)
        line += (line.empty() ? L"" : L" ") + quoted_argument(utf8_to_wide(word));
    return line;
}
