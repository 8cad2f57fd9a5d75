// The command line a Windows program is started with, from its words, and
// starting it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// `words` (UTF-8) joined into one command line that the started program's
// CommandLineToArgvW splits back into the same words: a word with blanks or
// quotes is quoted, with the backslashes before a quote doubled.
std::wstring windows_command_line(const std::vector<std::string>& words);

// CreateProcessW with handles inherited and the given flags, environment and
// standard streams; the program's name is taken from `command_line` when
// `program` is null. A start that fails because the new program ended before
// it ran any of its own code (ERROR_INTERNAL_ERROR, which Wine gives when its
// loader loses the program while placing it in memory) is tried again, twice,
// after a short pause; any other failure is not. Returns false with the last
// error set, as CreateProcessW does.
bool start_windows_program(const wchar_t* program, const std::wstring& command_line, DWORD flags,
                           void* environment, STARTUPINFOW& startup, PROCESS_INFORMATION& started);
