#include "support/run_host.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "support/test_process.h"

namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

temp_directory::temp_directory() {
    static std::mt19937_64 random{std::random_device{}()};
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "tagshelf-test-";
        for (int i = 0; i < 6; ++i)
            name += letters[random() % (sizeof letters - 1)];
        const fs::path candidate = base / name;
        std::error_code error;
        // Only the call that made the directory owns it.
        if (fs::create_directory(candidate, error)) {
            m_path = candidate.u8string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary directory");
}

temp_directory::~temp_directory() {
    std::error_code ignored;
    fs::remove_all(fs::u8path(m_path), ignored);
}

std::vector<std::string> emulator_command() {
    std::vector<std::string> words;
    std::istringstream emulator(SONARITH_HOST_EMULATOR);
    for (std::string word; emulator >> word;)
        words.push_back(word);
    return words;
}

std::vector<std::string> host_command(const std::vector<std::string>& args) {
    std::vector<std::string> command = emulator_command();
    command.push_back(native_path(SONARITH_HOST_PROGRAM));
    command.insert(command.end(), args.begin(), args.end());
    return command;
}

host_run run_host(const std::vector<std::string>& args, const std::string& input) {
    temp_directory scratch;
    std::ofstream(fs::u8path(scratch.file("in")), std::ios::binary) << input;
    host_run result;
    {
        test_process host(host_command(args),
                          {scratch.file("in"), scratch.file("out"), scratch.file("err")});
        result.status = host.wait();
        result.peak_kib = host.peak_resident_kib();
    }
    result.out = slurp(scratch.file("out"));
    result.err = slurp(scratch.file("err"));
    return result;
}
