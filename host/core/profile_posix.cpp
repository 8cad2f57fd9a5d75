// The profile's files on POSIX systems.
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "host/core/profile.h"

namespace fs = std::filesystem;

const char default_profile_description[] = "~/.sonarith";

std::string default_profile_directory() {
    if (const char* env = std::getenv("SONARITH_PROFILE"); env && *env)
        return env;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.sonarith";
}

namespace {
[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

// Removes the temporary file of a write unless the write was finished: a failed
// save leaves the previous file as it was and nothing beside it.
class temporary_file {
public:
    explicit temporary_file(std::string path) : m_path(std::move(path)) {}
    ~temporary_file() {
        if (!m_kept)
            ::unlink(m_path.c_str());
    }
    temporary_file(const temporary_file&) = delete;
    temporary_file& operator=(const temporary_file&) = delete;
    const std::string& path() const { return m_path; }
    void keep() { m_kept = true; }

private:
    std::string m_path;
    bool m_kept = false;
};

}  // namespace

void write_file_atomically(const std::string& path, const char* data, size_t size) {
    fs::path target(path);
    fs::create_directories(target.parent_path());
    const std::string temp = path + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        fail("Cannot create", temp);
    temporary_file written(temp);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, data + done, size - done);
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
    written.keep();
    int dir = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}
