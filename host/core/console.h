// The host console: lines go to standard error.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "sdk/console.h"

class host_console : public console_receiver {
public:
    void print(const char* text, size_t length) override;
    // Every line printed in this session, in order.
    const std::vector<std::string>& lines() const { return m_lines; }

private:
    // Components print on any thread.
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};
