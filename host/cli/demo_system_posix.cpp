#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "host/cli/demo_system.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

child_result run_self(const std::vector<std::string>& args, const std::string& input,
                      const std::string& scratch) {
    std::ofstream(scratch + "/in", std::ios::binary) << input;
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0)
        return {};
    if (pid == 0) {
        int in = open((scratch + "/in").c_str(), O_RDONLY);
        int out = open((scratch + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open((scratch + "/err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        std::string self = "sonarith-host";
        argv.push_back(self.data());
        for (const auto& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);
    child_result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = read_file(scratch + "/out");
    result.err = read_file(scratch + "/err");
    return result;
}

std::string make_fresh_directory(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a profile directory");
    return pattern;
}

std::string local_date_today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday);
    return text;
}
