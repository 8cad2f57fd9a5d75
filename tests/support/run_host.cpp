#include "support/run_host.h"

#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::string quote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

temp_directory::temp_directory() {
    std::string pattern = (fs::temp_directory_path() / "tagshelf-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary directory");
    m_path = pattern;
}

temp_directory::~temp_directory() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

host_run run_host(const std::vector<std::string>& args, const std::string& input) {
    temp_directory scratch;
    std::ofstream(scratch.file("in"), std::ios::binary) << input;
    // The emulator's command line, words already separated, comes first.
    const std::string emulator = SONARITH_HOST_EMULATOR;
    std::string command = emulator.empty() ? std::string() : emulator + " ";
    command += quote(SONARITH_HOST_PROGRAM);
    for (const auto& arg : args)
        command += " " + quote(arg);
    command += " <" + quote(scratch.file("in")) + " >" + quote(scratch.file("out")) + " 2>" +
               quote(scratch.file("err"));
    int raw = std::system(command.c_str());
    host_run result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = slurp(scratch.file("out"));
    result.err = slurp(scratch.file("err"));
    return result;
}
