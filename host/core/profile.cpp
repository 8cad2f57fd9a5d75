#include "host/core/profile.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

std::string default_profile_directory() {
    if (const char* env = std::getenv("SONARITH_PROFILE"); env && *env)
        return env;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.sonarith";
}

std::optional<std::vector<uint8_t>> read_whole_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (!fs::exists(path))
            return std::nullopt;
        throw std::runtime_error("Cannot read " + path);
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

namespace {
[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}
}  // namespace

void write_file_atomically(const std::string& path, const std::vector<uint8_t>& data) {
    fs::path target(path);
    fs::create_directories(target.parent_path());
    std::string temp = path + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        fail("Cannot create", temp);
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            fail("Cannot write", temp);
        }
        done += size_t(n);
    }
    if (::fsync(fd) != 0) {
        ::close(fd);
        fail("Cannot flush", temp);
    }
    ::close(fd);
    if (std::rename(temp.c_str(), path.c_str()) != 0)
        fail("Cannot replace", path);
    int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void write_file_atomically(const std::string& path, const std::string& text) {
    write_file_atomically(path, std::vector<uint8_t>(text.begin(), text.end()));
}
