// A compiled script: the parsed form of one script text. It never changes after
// compilation, so any number of tracks on any number of threads may be formatted
// with it at once.
#pragma once

#include <utility>

#include "host/titleformat/script_tree.h"
#include "sdk/titleformat.h"

class compiled_script : public titleformat_object {
public:
    explicit compiled_script(script_sequence tree) : m_tree(std::move(tree)) {}
    const script_sequence& tree() const { return m_tree; }

private:
    const script_sequence m_tree;
};
