#include "host/core/local_filesystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr const char url_prefix[] = "file://";
constexpr size_t url_prefix_length = sizeof url_prefix - 1;

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

std::string local_filesystem::to_native(const char* path) {
    std::string text = path ? path : "";
    if (text.compare(0, url_prefix_length, url_prefix) == 0)
        text.erase(0, url_prefix_length);
    return text;
}

bool local_filesystem::is_our_path(const char* path) {
    if (!path || !*path)
        return false;
    std::string_view text(path);
    if (text.compare(0, url_prefix_length, url_prefix) == 0)
        return true;
    // Any other scheme belongs to another file system.
    return text.find("://") == std::string_view::npos;
}

namespace {

// Whether a native path is canonical already: absolute, with no empty, "." or
// ".." component. One pass over the path, which is the whole cost of the common
// case.
bool is_canonical(std::string_view path) {
    if (path.empty() || path[0] != '/' || path.back() == '/')
        return false;
    // Each component starts right after a '/' and ends before the next or at the end.
    for (size_t start = 1; start <= path.size();) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view component = path.substr(start, end - start);
        if (component.empty() || component == "." || component == "..")
            return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

bool local_filesystem::get_canonical_path(const char* path, string_base& out) {
    if (!is_our_path(path))
        return false;
    // Most paths arrive canonical already. Those are given back as they are,
    // without asking the file system and without a copy in between.
    const std::string_view given(path);
    const bool prefixed = given.compare(0, url_prefix_length, url_prefix) == 0;
    if (is_canonical(prefixed ? given.substr(url_prefix_length) : given)) {
        if (prefixed)
            out.set_string(path);
        else
            out.set_string((url_prefix + std::string(given)).c_str());
        return true;
    }
    const std::string native = to_native(path);
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(native, error);
    if (error)
        return false;
    out.set_string((url_prefix + absolute.lexically_normal().string()).c_str());
    return true;
}

void local_filesystem::open(service_ptr_t<file>& out, const char* path, t_open_mode mode,
                            abort_callback& abort) {
    abort.check();
    std::string native = to_native(path);
    int flags = O_CLOEXEC;
    switch (mode) {
        case open_mode_read:
            flags |= O_RDONLY;
            break;
        case open_mode_write_existing:
            flags |= O_RDWR;
            break;
        case open_mode_write_new:
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
    out = make_service<local_file>(fd, native);
}

bool local_filesystem::exists(const char* path, abort_callback& abort) {
    abort.check();
    struct stat info;
    return ::stat(to_native(path).c_str(), &info) == 0;
}
