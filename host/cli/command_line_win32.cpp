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

bool start_windows_program(const wchar_t* program, const std::wstring& command_line, DWORD flags,
                           void* environment, STARTUPINFOW& startup, PROCESS_INFORMATION& started) {
    const int attempts = 3;
    for (int attempt = 1;; ++attempt) {
        // CreateProcessW may change the line it is given, so each try gets a copy.
        std::wstring line = command_line;
        if (CreateProcessW(program, line.data(), nullptr, nullptr, TRUE, flags, environment,
                           nullptr, &startup, &started))
            return true;
        const DWORD error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR || attempt == attempts)
            return false;
        // What the lost program wrote (its loader's complaint) is not the output
        // of the program that runs.
        for (HANDLE stream : {startup.hStdOutput, startup.hStdError})
            if (stream && GetFileType(stream) == FILE_TYPE_DISK &&
                SetFilePointer(stream, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER)
                SetEndOfFile(stream);
        Sleep(DWORD(50 * attempt));
    }
}
