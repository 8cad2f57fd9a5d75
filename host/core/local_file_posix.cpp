// Local files on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>

#include "host/core/local_file.h"

namespace {

[[noreturn]] void fail(const char* what, const std::string& path, int error) {
    throw exception_io(std::string(what) + " " + path + ": " + std::strerror(error));
}

// An open local file; the descriptor is closed when the last reference goes.
class local_file : public file {
public:
    local_file(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    ~local_file() { ::close(m_fd); }
    local_file(const local_file&) = delete;
    local_file& operator=(const local_file&) = delete;

    size_t read(void* buffer, size_t size, abort_callback& abort) override {
        auto* bytes = static_cast<char*>(buffer);
        size_t done = 0;
        while (done < size) {
            abort.check();
            ssize_t n = ::read(m_fd, bytes + done, size - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fail("Cannot read", m_path, errno);
            }
            if (n == 0)
                break;
            done += size_t(n);
        }
        return done;
    }

    void write(const void* buffer, size_t size, abort_callback& abort) override {
        const auto* bytes = static_cast<const char*>(buffer);
        size_t done = 0;
        while (done < size) {
            abort.check();
            ssize_t n = ::write(m_fd, bytes + done, size - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fail("Cannot write", m_path, errno);
            }
            done += size_t(n);
        }
    }

    uint64_t get_size(abort_callback& abort) override {
        abort.check();
        struct stat info;
        if (::fstat(m_fd, &info) != 0)
            fail("Cannot query the size of", m_path, errno);
        return uint64_t(info.st_size);
    }

    uint64_t get_position(abort_callback& abort) override {
        abort.check();
        off_t position = ::lseek(m_fd, 0, SEEK_CUR);
        if (position < 0)
            fail("Cannot query the position in", m_path, errno);
        return uint64_t(position);
    }

    void seek(uint64_t position, abort_callback& abort) override {
        abort.check();
        if (position > uint64_t(std::numeric_limits<off_t>::max()))
            fail("Cannot seek in", m_path, EINVAL);
        if (::lseek(m_fd, off_t(position), SEEK_SET) < 0)
            fail("Cannot seek in", m_path, errno);
    }

    void flush(abort_callback& abort) override {
        abort.check();
        if (::fsync(m_fd) != 0)
            fail("Cannot flush", m_path, errno);
    }

private:
    int m_fd;
    std::string m_path;
};

}  // namespace

size_t local_root_length(std::string_view native) {
    return !native.empty() && native[0] == '/' ? 1 : 0;
}

service_ptr_t<file> open_local_file(const std::string& native, filesystem::t_open_mode mode) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case filesystem::open_mode_read:
            flags |= O_RDONLY;
            break;
        case filesystem::open_mode_write_existing:
            flags |= O_RDWR;
            break;
        case filesystem::open_mode_write_new:
            flags |= O_RDWR | O_CREAT | O_TRUNC;
            break;
        default:
            throw exception_io("Unknown open mode for " + native);
    }
    int fd;
    do {
        fd = ::open(native.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        fail("Cannot open", native, errno);
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        int error = errno;
        ::close(fd);
        fail("Cannot open", native, error);
    }
    // Only regular files hold data a caller can read back; a directory opens on
    // POSIX but cannot be read.
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        fail("Cannot open", native, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    }
    return make_service<local_file>(fd, native);
}

bool local_path_exists(const std::string& native) {
    struct stat info;
    return ::stat(native.c_str(), &info) == 0;
}
