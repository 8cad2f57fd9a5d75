// Splits a command line into words as a POSIX shell does (single quotes, double
// quotes, backslash), without any expansion.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

// Raises std::invalid_argument for an unterminated quote or a trailing backslash.
std::vector<std::string> split_shell_words(const std::string& line);
