// The parsed form of a title-formatting script: a sequence of nodes, each
// literal text, a field reference, a function call with its parameters, or a
// conditional section.
#pragma once

#include <string>
#include <vector>

struct builtin_function;
struct script_node;

using script_sequence = std::vector<script_node>;

struct script_node {
    enum class kind {
        text,      // literal text, shown as it is
        field,     // %name%
        function,  // $name(param,...)
        section,   // [...]: shown only when something inside it was found
    };

    kind type = kind::text;
    // The literal text, the field name or the function name (without % or $).
    // Kept in a std::string so that hooks receive a zero-terminated name.
    std::string text;
    // A function's parameters, each a sequence of its own.
    std::vector<script_sequence> params;
    // A section's contents.
    script_sequence body;
    // The host's own function of this name, looked up once at compile time;
    // null when only a hook can answer the call.
    const builtin_function* builtin = nullptr;
};
