#include "host/core/message_boxes.h"

#include <unistd.h>
#include <cstdio>
#include <iostream>

int message_box_answer(unsigned style, bool affirmative) {
    switch (style & 0x0F) {
        case MB_OKCANCEL:
            return affirmative ? IDOK : IDCANCEL;
        case MB_YESNO:
            return affirmative ? IDYES : IDNO;
        default:
            return IDOK;  // a box with one button has one answer
    }
}

namespace {

const char* buttons_of(unsigned style) {
    switch (style & 0x0F) {
        case MB_OKCANCEL:
            return "[OK] [Cancel]";
        case MB_YESNO:
            return "[Yes] [No]";
        default:
            return "[OK]";
    }
}

// Asks on the terminal; anything but a negative answer counts as the affirmative.
bool ask_terminal(unsigned style) {
    const bool yes_no = (style & 0x0F) == MB_YESNO;
    std::fprintf(stderr, "%s ", yes_no ? "Answer yes/no [yes]:" : "Answer ok/cancel [ok]:");
    std::fflush(stderr);
    std::string line;
    if (!std::getline(std::cin, line))
        return true;
    return !(line == "no" || line == "n" || line == "cancel" || line == "c");
}

}  // namespace

int message_box_service::message_box(HWND, const char* text, const char* caption, unsigned style) {
    std::fprintf(stderr, "+-- %s\n", caption ? caption : "");
    std::string body = text ? text : "";
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('\n', start);
        if (end == std::string::npos)
            end = body.size();
        std::string line = body.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::fprintf(stderr, "| %s\n", line.c_str());
        start = end + 1;
    }
    std::fprintf(stderr, "+-- %s\n", buttons_of(style));
    bool affirmative = true;
    if (m_answer) {
        affirmative = *m_answer;
    } else if (isatty(STDIN_FILENO) && (style & 0x0F) != MB_OK) {
        affirmative = ask_terminal(style);
    }
    int answer = message_box_answer(style, affirmative);
    std::fprintf(stderr, "+-- answered %s\n",
                 answer == IDOK       ? "OK"
                 : answer == IDCANCEL ? "Cancel"
                 : answer == IDYES    ? "Yes"
                                      : "No");
    std::fflush(stderr);
    m_shown.push_back({caption ? caption : "", body, style, answer});
    return answer;
}
