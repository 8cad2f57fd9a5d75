#include "host/titleformat/script_compiler.h"

#include <utility>

#include "host/titleformat/compiled_script.h"

bool script_compiler::compile(service_ptr_t<titleformat_object>& out, const char* script) {
    if (!script)
        return false;
    // Callers may not let exceptions cross into them; an allocation failure
    // while parsing is a script that did not compile.
    try {
        script_error ignored;
        return compile_script(out, script, ignored);
    } catch (...) {
        return false;
    }
}

bool script_compiler::compile_script(service_ptr_t<titleformat_object>& out,
                                     std::string_view script, script_error& error) {
    script_sequence tree;
    if (!parse_script(script, tree, error))
        return false;
    out = make_service<compiled_script>(std::move(tree));
    return true;
}
