#include "quicktag/split_bar_list.h"

std::vector<std::string> split_bar_list(std::string_view text) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (at < text.size()) {
        std::string part;
        while (at < text.size()) {
            if (text[at] != '|') {
                part += text[at++];
            } else if (at + 1 < text.size() && text[at + 1] == '|') {
                part += '|';
                at += 2;
            } else {
                ++at;  // the single bar that ends this part
                break;
            }
        }
        parts.push_back(std::move(part));
    }
    return parts;
}
