// Lets no file of this process grow past a few bytes while it lives, so that a
// write fails part-way as on a full disk: the write answers EFBIG instead of the
// process being stopped by the signal.
#pragma once

#include <sys/resource.h>
#include <csignal>

class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_signal_before = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_signal_before);
    }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

private:
    rlimit m_before{};
    void (*m_signal_before)(int) = nullptr;
};
