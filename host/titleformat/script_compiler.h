// The host's title-formatting compiler service: turns script text into a
// compiled_script that tracks are then formatted with.
#pragma once

#include <string_view>

#include "host/titleformat/script_parser.h"
#include "sdk/titleformat.h"

class script_compiler : public titleformat_compiler {
public:
    bool compile(service_ptr_t<titleformat_object>& out, const char* script) override;

    // The same for the host's own use, saying why a script does not compile.
    // `out` is unchanged on failure.
    static bool compile_script(service_ptr_t<titleformat_object>& out, std::string_view script,
                               script_error& error);
};
