#include "host/cli/program.h"

std::vector<std::string> program_arguments(int argc, char** argv) {
    // The system hands the words over as they were given, in UTF-8 here.
    return std::vector<std::string>(argv, argv + argc);
}

void prepare_console() {}
