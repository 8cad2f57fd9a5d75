// A quick-tag's display name split into the menu path and the command's name.
#pragma once

#include <string_view>

// Everything after the last "/"; the whole text when there is none.
std::string_view display_name_leaf(std::string_view display_name);
// Everything before the last "/" that is not the first character; empty when there
// is no such "/", so "/Rate" sits at the top level.
std::string_view display_name_path(std::string_view display_name);
