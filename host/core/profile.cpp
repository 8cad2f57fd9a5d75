#include "host/core/profile.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <utility>

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
    // Read in blocks of the file's size where it has one: a library file may hold
    // a million lines.
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    in.clear();
    in.seekg(0, std::ios::beg);
    const size_t block = size_t(std::max<std::streamoff>(size + 1, 1 << 16));
    std::vector<uint8_t> data;
    while (in) {
        size_t at = data.size();
        data.resize(at + block);
        in.read(reinterpret_cast<char*>(data.data() + at), std::streamsize(block));
        data.resize(at + size_t(in.gcount()));
    }
    if (in.bad())
        throw std::runtime_error("Cannot read " + path);
    return data;
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

void write_bytes_atomically(const std::string& path, const char* data, size_t size) {
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
}  // namespace

void write_file_atomically(const std::string& path, const std::vector<uint8_t>& data) {
    write_bytes_atomically(path, reinterpret_cast<const char*>(data.data()), data.size());
}

void write_file_atomically(const std::string& path, const std::string& text) {
    write_bytes_atomically(path, text.data(), text.size());
}

profile_lock::profile_lock(const std::string& directory, std::chrono::milliseconds limit,
                           const std::function<void()>& on_wait)
    : m_file(directory + "/session.lock") {
    if (m_file.try_lock())
        return;
    std::string running = " is running";
    if (limit.count() > 0) {
        on_wait();
        // The system offers no waiting lock with a time limit everywhere, so the
        // lock is tried again a few times a second until the other session ends.
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (m_file.try_lock())
                return;
        }
        char waited[32];
        std::snprintf(waited, sizeof waited, "%g", double(limit.count()) / 1000);
        running = std::string(" is still running after ") + waited + " s";
    }
    throw std::runtime_error("another session of the profile " + directory + running +
                             "; this session ends having read and written nothing of it");
}
