#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

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

namespace {

// The console's code pages before the host changed them: the console outlives
// the program, and the programs run in it after the host expect its own.
UINT console_input_page = 0;
UINT console_output_page = 0;

void restore_console() {
    if (console_input_page)
        SetConsoleCP(console_input_page);
    if (console_output_page)
        SetConsoleOutputCP(console_output_page);
}

}  // namespace

void prepare_console() {
    // Typed lines (the shell command) arrive as UTF-8 too. Without a console
    // both calls fail and change nothing: the bytes go as they are.
    console_input_page = GetConsoleCP();
    console_output_page = GetConsoleOutputCP();
    if (console_input_page || console_output_page)
        std::atexit(restore_console);
    SetConsoleCP(CP_UTF8);
    SetConsoleOutputCP(CP_UTF8);
    // Lines end in "\n" as on every other system, whether they go to a console,
    // a pipe or a file: the text mode would make them "\r\n".
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
