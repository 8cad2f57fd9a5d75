#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "host/core/file_lock.h"

file_lock::file_lock(const std::string& path) : m_path(path) {
    // Not inherited by programs the session starts, which could otherwise keep
    // the lock after the session ended.
    m_handle = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_handle < 0)
        throw std::runtime_error("Cannot open " + path + ": " + std::strerror(errno));
}

file_lock::~file_lock() {
    // Closing the file releases the lock.
    ::close(int(m_handle));
}

bool file_lock::try_lock() {
    // flock's lock belongs to the open file, not to the process as fcntl's does, so
    // two sessions of one process exclude each other too, and closing another
    // descriptor of the same file does not release it.
    for (;;) {
        if (::flock(int(m_handle), LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno == EWOULDBLOCK)
            return false;
        if (errno != EINTR)
            throw std::runtime_error("Cannot lock " + m_path + ": " + std::strerror(errno));
    }
}
