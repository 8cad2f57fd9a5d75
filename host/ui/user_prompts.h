// How the headless host answers the questions a component asks the user: message
// boxes are printed with their caption and text and answered from the options
// (--answer), or asked on the terminal; file dialogs answer the path given
// (--file) or are cancelled. Every prompt is also kept, so a test can see what
// was asked.
#pragma once

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sdk/window_system.h"

// A message box as the user saw it, with the answer it got.
struct shown_message_box {
    std::string caption;
    std::string text;
    UINT style = 0;
    int answer = 0;
};

// A file dialog as the user saw it, with the path it answered.
struct shown_file_dialog {
    std::string title;
    std::string filter;
    std::string initial_name;
    bool save = false;
    std::optional<std::string> answer;  // none: cancelled
};

class user_prompts {
public:
    // `answer`: yes for the affirmative button, no for the negative one; without
    // it the user is asked on `input` when `interactive` (a box with one button
    // needs no answer), else the affirmative button is taken. Prompts are printed
    // on `output`.
    user_prompts(std::optional<bool> answer, std::optional<std::string> file_answer,
                 bool interactive, FILE* input = stdin, FILE* output = stderr);

    int message_box(const char* text, const char* caption, UINT style);
    bool file_dialog(const file_dialog_request& request, string_base& path);

    void set_answer(std::optional<bool> answer);
    void set_file_answer(std::optional<std::string> path);
    std::vector<shown_message_box> message_boxes() const;
    std::vector<shown_file_dialog> file_dialogs() const;

private:
    int ask(UINT style);

    mutable std::mutex m_lock;  // a component may ask from any thread
    std::optional<bool> m_answer;
    std::optional<std::string> m_file_answer;
    bool m_interactive;
    FILE* m_input;
    FILE* m_output;
    std::vector<shown_message_box> m_message_boxes;
    std::vector<shown_file_dialog> m_file_dialogs;
};

// The buttons of a message box style, e.g. {IDYES, IDNO} for MB_YESNO.
std::vector<int> message_box_buttons(UINT style);
// "OK", "Cancel", "Yes", ...
const char* message_box_button_name(int answer);
