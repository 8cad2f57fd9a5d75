// An exclusive lock on a file, taken from the operating system: it belongs to
// the open file, so the system lets go of it when the process ends in whatever
// way. The system calls live in one file per platform (file_lock_posix.cpp).
#pragma once

#include <cstdint>
#include <string>

class file_lock {
public:
    // Opens (and creates when missing) the file at `path`, without locking it.
    // Raises when it cannot be opened.
    explicit file_lock(const std::string& path);
    ~file_lock();
    file_lock(const file_lock&) = delete;
    file_lock& operator=(const file_lock&) = delete;

    // Takes the lock without waiting: false while another holder has it. Raises
    // on other failures.
    bool try_lock();

private:
    std::string m_path;
    std::intptr_t m_handle = -1;  // the platform's descriptor or handle of the file
};
