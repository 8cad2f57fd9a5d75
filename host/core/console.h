// The host console: lines go to standard error.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "sdk/console.h"

class host_console : public console_receiver {
public:
    void print(const char* text, size_t length) override;
    // The lines printed in this session, in order: every one of them, or, once
    // a session has printed more than `history` lines, at least the last
    // `history`. Like a console window's scroll-back, the history is bounded, so
    // that a long session cannot fill memory with lines nobody reads back.
    const std::vector<std::string>& lines() const { return m_lines; }
    static constexpr size_t history = 10'000;
    // Whether a line reporting an error was printed in this session: components
    // begin such a line with "ERROR : ".
    bool error_printed() const { return m_error_printed; }

private:
    std::atomic<bool> m_error_printed{false};
    // Components print on any thread.
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};
