#include "quicktag/qtg_file.h"

#include <cstring>
#include <string>

#include "frame/config_vars.h"
#include "frame/host_ops.h"
#include "quicktag/cfg_quicktag_entries.h"
#include "sdk/exceptions.h"
#include "sdk/file.h"

namespace {

void print_error(const char* message) {
    host_ops::console_print(std::string("ERROR : ") + message);
}

}  // namespace

bool quicktag_export(const char* path) {
    // Written beside the target and renamed over it only once complete, so that a
    // failed export leaves the user's previous file whole.
    const std::string temporary = std::string(path) + ".tmp";
    abort_callback_dummy abort;
    service_ptr_t<file> out;
    try {
        filesystem::g_open(out, temporary.c_str(), filesystem::open_mode_write_new, abort);
    } catch (...) {
        print_error("unable to save file, check you have appropriate write permissions etc.");
        return false;
    }
    bool written = true;
    try {
        out->write_guid(qtg_file_header, abort);
        cfg_quicktag_entries.write_data(*out, abort);
        out->flush(abort);
        out.release();
        if (!uMoveFile(temporary.c_str(), path))
            throw exception_io("Cannot rename " + temporary + " to " + path);
    } catch (...) {
        print_error("error writing file");
        out.release();
        uDeleteFile(temporary.c_str());
        written = false;
    }
    cfg_qtg_last_path = path;
    return written;
}

bool quicktag_import(const char* path) {
    abort_callback_dummy abort;
    service_ptr_t<file> in;
    try {
        filesystem::g_open(in, path, filesystem::open_mode_read, abort);
    } catch (...) {
        print_error("unable to open file.");
        return false;
    }
    bool replaced = false;
    try {
        uint8_t header[16];
        in->read_object(header, sizeof header, abort);
        uint8_t expected[16];
        guid_to_bytes(qtg_file_header, expected);
        if (std::memcmp(header, expected, sizeof header) != 0) {
            print_error("invalid file.");
        } else {
            // Read into a list of its own first, so that a file damaged part-way
            // leaves the user's commands as they were.
            cfg_quicktag_entries.set_entries(cfg_quicktag_entries_t::read_entries(*in, abort));
            replaced = true;
        }
    } catch (...) {
        print_error("error reading file");
    }
    cfg_qtg_last_path = path;
    return replaced;
}
