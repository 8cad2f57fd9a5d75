// The host's message boxes. There is no screen: a box is printed to standard error
// with its caption and text, and answered by --answer (default: the affirmative);
// on a terminal without --answer the user is asked.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sdk/window.h"

struct shown_message_box {
    std::string caption;
    std::string text;
    unsigned style;
    int answer;
};

class message_box_service : public window_system {
public:
    explicit message_box_service(std::optional<bool> answer) : m_answer(answer) {}
    int message_box(HWND owner, const char* text, const char* caption, unsigned style) override;
    // Every box shown in this session, in order.
    const std::vector<shown_message_box>& shown() const { return m_shown; }

private:
    std::optional<bool> m_answer;
    std::vector<shown_message_box> m_shown;
};

// The answer code a box of `style` gives for an affirmative (OK/Yes) or negative
// (Cancel/No) answer.
int message_box_answer(unsigned style, bool affirmative);
