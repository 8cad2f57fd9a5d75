#include "support/file_size_limit.h"

#include <sys/resource.h>

#include <csignal>

struct file_size_limit::saved {
    rlimit limit{};
    void (*signal_handler)(int) = nullptr;
};

file_size_limit::file_size_limit(uint64_t bytes) : m_before(std::make_unique<saved>()) {
    getrlimit(RLIMIT_FSIZE, &m_before->limit);
    m_before->signal_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_before->limit;
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
}

file_size_limit::~file_size_limit() {
    setrlimit(RLIMIT_FSIZE, &m_before->limit);
    std::signal(SIGXFSZ, m_before->signal_handler);
}
