// Reads the text of a title-formatting script into its parsed form, or says
// where and why the text is not a valid script.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/titleformat/script_tree.h"

// Why a script does not compile, and the byte offset where the trouble starts.
struct script_error {
    size_t offset = 0;
    std::string message;
};

// The grammar:
//  - %name% is a field reference; the name is every byte up to the next %.
//  - $name(p1,p2,...) is a function call; the name is made of ASCII letters,
//    digits and underscores; $name() has no parameters. Inside the parameters a
//    comma separates and a closing parenthesis ends the call.
//  - [...] is a section; inside it commas and parentheses are plain text (unless
//    they belong to a call within the section).
//  - 'text' is literal text in which nothing is special; two quotes in a row
//    stand for one quote character, inside or outside quoted text.
//  - Everything else is literal text.
// Nesting of calls and sections is limited (max_script_depth) so that a hostile
// script cannot exhaust the stack.
inline constexpr size_t max_script_depth = 256;

// Parses `script`; answers false and fills `error` when it is malformed.
bool parse_script(std::string_view script, script_sequence& out, script_error& error);
