#include "host/cli/shell_words.h"

std::vector<std::string> split_shell_words(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (in_word)
                words.push_back(std::move(word));
            word.clear();
            in_word = false;
        } else if (c == '#' && !in_word) {
            break;  // a comment runs to the end of the line
        } else if (c == '\'') {
            in_word = true;
            size_t end = line.find('\'', i + 1);
            if (end == std::string::npos)
                throw std::invalid_argument("unterminated single quote");
            word.append(line, i + 1, end - i - 1);
            i = end;
        } else if (c == '"') {
            in_word = true;
            for (++i;; ++i) {
                if (i >= line.size())
                    throw std::invalid_argument("unterminated double quote");
                char d = line[i];
                if (d == '"')
                    break;
                // Inside double quotes a backslash escapes only these characters.
                if (d == '\\' && i + 1 < line.size() &&
                    std::string("\"\\$`").find(line[i + 1]) != std::string::npos) {
                    d = line[++i];
                }
                word.push_back(d);
            }
        } else if (c == '\\') {
            if (i + 1 >= line.size())
                throw std::invalid_argument("trailing backslash");
            in_word = true;
            word.push_back(line[++i]);
        } else {
            in_word = true;
            word.push_back(c);
        }
    }
    if (in_word)
        words.push_back(std::move(word));
    return words;
}
