// Lets no file of this process grow past a few bytes while it lives, so that a
// write fails part-way as on a full disk: the write that reaches the limit
// writes what fits and the next one fails, answering EFBIG on POSIX (instead of
// the process being stopped by the signal) and ERROR_DISK_FULL on Windows.
#pragma once

#include <cstdint>
#include <memory>

class file_size_limit {
public:
    explicit file_size_limit(uint64_t bytes);
    ~file_size_limit();
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

    struct saved;

private:
    std::unique_ptr<saved> m_before;
};
