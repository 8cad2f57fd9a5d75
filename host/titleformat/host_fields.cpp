#include "host/titleformat/host_fields.h"

#include <filesystem>

#include "host/core/tracks.h"
#include "host/titleformat/ascii_names.h"

bool resolve_host_field(const playable_location& location, std::string_view name,
                        std::string& out) {
    if (same_name_ascii(name, "subsong")) {
        out += std::to_string(location.get_subsong());
        return true;
    }
    const std::filesystem::path path = std::filesystem::u8path(to_file_path(location.get_path()));
    if (same_name_ascii(name, "path")) {
        out += path.u8string();
    } else if (same_name_ascii(name, "filename")) {
        out += path.stem().u8string();
    } else if (same_name_ascii(name, "filename_ext")) {
        out += path.filename().u8string();
    } else if (same_name_ascii(name, "directoryname")) {
        out += path.parent_path().filename().u8string();
    } else {
        return false;
    }
    return true;
}
