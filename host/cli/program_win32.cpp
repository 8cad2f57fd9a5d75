#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "host/cli/program.h"
#include "sdk/utf16_win32.h"

std::vector<std::string> program_arguments(int argc, char** argv) {
    // main's words are in the system's code page, which cannot hold every
    // character of a file name; the wide command line can.
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!words)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(wide_to_utf8(words[i]));
    LocalFree(words);
    return arguments;
}

void prepare_console() {
    SetConsoleOutputCP(CP_UTF8);
    // Lines end in "\n" as on every other system, whether they go to a console,
    // a pipe or a file: the text mode would make them "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
