#include "quicktag/display_name.h"

std::string_view display_name_leaf(std::string_view display_name) {
    size_t slash = display_name.rfind('/');
    return slash == std::string_view::npos ? display_name : display_name.substr(slash + 1);
}

std::string_view display_name_path(std::string_view display_name) {
    size_t slash = display_name.rfind('/');
    if (slash == std::string_view::npos || slash == 0)
        return {};
    return display_name.substr(0, slash);
}
