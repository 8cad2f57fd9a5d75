// The command line a Windows program is started with, from its words.
#pragma once

#include <string>
#include <vector>

// `words` (UTF-8) joined into one command line that the started program's
// CommandLineToArgvW splits back into the same words: a word with blanks or
// quotes is quoted, with the backslashes before a quote doubled.
std::wstring windows_command_line(const std::vector<std::string>& words);
