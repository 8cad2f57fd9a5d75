// Formats one track with one parsed script. Every field and function is offered
// first to the extra hook of the call, then to the registered display hooks in
// registry order, and only then answered by the host: its own fields, its own
// functions, "?" for a field nobody knows.
#pragma once

#include <string>
#include <vector>

#include "host/titleformat/script_tree.h"
#include "sdk/metadb.h"
#include "sdk/titleformat.h"

using display_hook_list = std::vector<service_ptr_t<metadb_display_hook>>;

class script_evaluator {
public:
    // `extra_hook` may be null; the track and the hooks must outlive the evaluator.
    script_evaluator(metadb_handle* track, titleformat_hook* extra_hook,
                     const display_hook_list& display_hooks)
        : m_track(track), m_extra_hook(extra_hook), m_display_hooks(display_hooks) {}

    // The formatted text. Exceptions that a hook lets out pass through.
    std::string format(const script_sequence& script);

private:
    // Each appends the node's text to `out` and answers its truth.
    bool sequence(const script_sequence& nodes, std::string& out);
    bool node(const script_node& item, std::string& out);
    bool field(const script_node& item, std::string& out);
    bool function(const script_node& item, std::string& out);
    bool section(const script_node& item, std::string& out);

    metadb_handle* m_track;
    titleformat_hook* m_extra_hook;
    const display_hook_list& m_display_hooks;
};
