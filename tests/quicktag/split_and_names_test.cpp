// How a quick-tag's texts are split: field and value lists on "|", and the
// display name into menu path and command name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quicktag/display_name.h"
#include "quicktag/split_bar_list.h"

namespace {

TEST(SplitBarList, SplitsOnSingleBarsAndUnescapesDoubleOnes) {
    struct row {
        std::string text;
        std::vector<std::string> parts;
    };
    const row rows[] = {
        {"RATING", {"RATING"}},
        {"ARTIST|TITLE", {"ARTIST", "TITLE"}},
        {"a||b", {"a|b"}},
        {"|x", {"", "x"}},
        {"x|", {"x"}},
        {"x||", {"x|"}},
        {"", {}},
        {"a|||b", {"a|", "b"}},
        {"$if(%A%,1||2,3)|B", {"$if(%A%,1|2,3)", "B"}},
        {"F1|F2|F3", {"F1", "F2", "F3"}},
        {"a||", {"a|"}},
        {"#|", {"#"}},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(split_bar_list(r.text), r.parts) << "text: " << r.text;
    }
}

TEST(DisplayName, SplitsIntoMenuPathAndCommandNameAtTheLastSlash) {
    struct row {
        std::string display_name;
        std::string path;
        std::string name;
    };
    const row rows[] = {
        {"Tag Shelf/Rate 3", "Tag Shelf", "Rate 3"},
        {"Top/Sub/Item", "Top/Sub", "Item"},
        {"Rate", "", "Rate"},
        {"/Rate", "", "Rate"},
        {"A/", "A", ""},
        {"", "", ""},
        {"Étiquettes/Note ★", "Étiquettes", "Note ★"},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(display_name_path(r.display_name), r.path) << r.display_name;
        EXPECT_EQ(display_name_leaf(r.display_name), r.name) << r.display_name;
    }
}

}  // namespace
