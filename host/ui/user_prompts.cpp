#include "host/ui/user_prompts.h"

#include <cctype>
#include <filesystem>

namespace {

struct answers {
    int affirmative;
    int negative;
};

answers answers_of(UINT style) {
    switch (style & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDRETRY, IDABORT};
        case MB_YESNOCANCEL:
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK, IDOK};
    }
}

std::string button_list(UINT style) {
    std::string out;
    for (int button : message_box_buttons(style)) {
        out += out.empty() ? "[" : " [";
        out += message_box_button_name(button);
        out += "]";
    }
    return out;
}

// Prints `text` with every line indented, so that a text of several lines stays
// readable under its caption.
void print_indented(FILE* out, const std::string& text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::fprintf(out, "  %.*s\n", int(end - start), text.c_str() + start);
        start = end + 1;
    }
}

// The path a user would end up with: absolute, with the default extension added
// to a name that has none.
std::string chosen_path(const std::string& answer, const char* default_extension) {
    std::filesystem::path path =
        std::filesystem::absolute(std::filesystem::u8path(answer)).lexically_normal();
    if (default_extension && *default_extension && !path.has_extension())
        path += std::string(".") + default_extension;
    return path.u8string();
}

}  // namespace

std::vector<int> message_box_buttons(UINT style) {
    switch (style & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {IDOK};
    }
}

const char* message_box_button_name(int answer) {
    switch (answer) {
        case IDOK:
            return "OK";
        case IDCANCEL:
            return "Cancel";
        case IDABORT:
            return "Abort";
        case IDRETRY:
            return "Retry";
        case IDIGNORE:
            return "Ignore";
        case IDYES:
            return "Yes";
        case IDNO:
            return "No";
    }
    return "?";
}

user_prompts::user_prompts(std::optional<bool> answer, std::optional<std::string> file_answer,
                           bool interactive, FILE* input, FILE* output)
    : m_answer(answer),
      m_file_answer(std::move(file_answer)),
      m_interactive(interactive),
      m_input(input),
      m_output(output) {}

int user_prompts::ask(UINT style) {
    auto buttons = message_box_buttons(style);
    for (;;) {
        std::fprintf(m_output, "  %s (Return: %s)? ", button_list(style).c_str(),
                     message_box_button_name(answers_of(style).affirmative));
        std::fflush(m_output);
        char line[256];
        if (!m_input || !std::fgets(line, sizeof line, m_input)) {
            // Closing the box without a choice: the negative answer.
            std::fprintf(m_output, "\n");
            return answers_of(style).negative;
        }
        std::string word;
        for (char* c = line; *c && *c != '\n' && *c != '\r'; ++c) {
            if (!std::isspace(static_cast<unsigned char>(*c)))
                word += char(std::tolower(static_cast<unsigned char>(*c)));
        }
        // Return alone takes the default button, the affirmative one.
        if (word.empty())
            return answers_of(style).affirmative;
        int match = 0;
        int matches = 0;
        for (int button : buttons) {
            std::string name = message_box_button_name(button);
            for (char& c : name)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            if (!word.empty() && name.compare(0, word.size(), word) == 0) {
                match = button;
                ++matches;
            }
        }
        if (matches == 1)
            return match;
        std::fprintf(m_output, "  please answer one of %s\n", button_list(style).c_str());
    }
}

int user_prompts::message_box(const char* text, const char* caption, UINT style) {
    std::lock_guard<std::mutex> guard(m_lock);
    shown_message_box shown{caption ? caption : "", text ? text : "", style, 0};
    std::fprintf(m_output, "message box \"%s\":\n", shown.caption.c_str());
    print_indented(m_output, shown.text);
    if (m_answer) {
        shown.answer = *m_answer ? answers_of(style).affirmative : answers_of(style).negative;
    } else if (m_interactive && message_box_buttons(style).size() > 1) {
        shown.answer = ask(style);
    } else {
        shown.answer = answers_of(style).affirmative;
    }
    std::fprintf(m_output, "  %s -> %s\n", button_list(style).c_str(),
                 message_box_button_name(shown.answer));
    m_message_boxes.push_back(shown);
    return shown.answer;
}

bool user_prompts::file_dialog(const file_dialog_request& request, string_base& path) {
    std::lock_guard<std::mutex> guard(m_lock);
    shown_file_dialog shown{request.title ? request.title : "",
                            request.filter ? request.filter : "", std::string(path.view()),
                            request.save, std::nullopt};
    if (m_file_answer && !m_file_answer->empty())
        shown.answer = chosen_path(*m_file_answer, request.default_extension);
    std::fprintf(m_output, "%s dialog \"%s\" (%s): %s\n", request.save ? "save" : "open",
                 shown.title.c_str(), shown.filter.c_str(),
                 shown.answer ? shown.answer->c_str() : "cancelled");
    if (shown.answer)
        path.set_string(shown.answer->c_str());
    bool chosen = shown.answer.has_value();
    m_file_dialogs.push_back(std::move(shown));
    return chosen;
}

void user_prompts::set_answer(std::optional<bool> answer) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_answer = answer;
}

void user_prompts::set_file_answer(std::optional<std::string> path) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_file_answer = std::move(path);
}

std::vector<shown_message_box> user_prompts::message_boxes() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_message_boxes;
}

std::vector<shown_file_dialog> user_prompts::file_dialogs() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_file_dialogs;
}
