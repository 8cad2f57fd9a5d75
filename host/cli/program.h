// What differs between systems at the start of the host program: its command
// line and its console. One file per platform (program_posix.cpp,
// program_win32.cpp).
#pragma once

#include <string>
#include <vector>

// The program's command line as UTF-8 words, the program's own name first.
std::vector<std::string> program_arguments(int argc, char** argv);

// Makes the console show the UTF-8 the host prints, and the standard output and
// error carry it byte for byte.
void prepare_console();
