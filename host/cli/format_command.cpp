// format: tracks shown through a title-formatting script, one line per track.
#include <cstdio>
#include <stdexcept>
#include <string>

#include "host/cli/commands.h"
#include "host/core/host_session.h"
#include "host/titleformat/script_compiler.h"

namespace {

// The 1-based number of the UTF-8 character that starts at byte `offset`.
size_t character_number(const std::string& text, size_t offset) {
    size_t number = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            ++number;
    }
    return number;
}

int format(host_session& session, const command_args& args) {
    if (args.size() < 2)
        throw usage_error("a SCRIPT and at least one TRACK are needed");
    service_ptr_t<titleformat_object> script;
    script_error error;
    if (!script_compiler::compile_script(script, args[0], error)) {
        std::string where =
            error.offset >= args[0].size()
                ? "at the end of the script"
                : "at character " + std::to_string(character_number(args[0], error.offset));
        throw std::runtime_error("the script does not compile: " + error.message + " (" + where +
                                 ")");
    }
    int status = 0;
    for (size_t i = 1; i < args.size(); ++i) {
        auto location = parse_track_argument(args[i]);
        string8 line;
        if (!session.tracks().track(location)->format_title(nullptr, line, script)) {
            std::fprintf(stderr, "formatting failed: %s\n", describe_location(location).c_str());
            status = 1;
            continue;
        }
        std::printf("%s\n", line.get_ptr());
    }
    return status;
}

}  // namespace

std::vector<command_info> format_commands() {
    return {{"format", "SCRIPT TRACK...", "print each track through a title-formatting script",
             format}};
}
