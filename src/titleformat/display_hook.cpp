#include "titleformat/display_hook.h"

#include <cstring>
#include <string>

#include "frame/config_vars.h"
#include "service/reader_wrappers.h"
#include "service/report_error.h"
#include "service/tagshelf_impl.h"
#include "titleformat/shelf_functions.h"

namespace {

struct param_text {
    const char* text;
    size_t length;
};

param_text param(titleformat_hook_function_params* params, size_t index) {
    param_text p{"", 0};
    params->get_param(index, p.text, p.length);
    return p;
}

// A field name from the host, zero-terminated for the reader's interface: the
// host's text need not end where the name does. Names of usual length stay on the
// stack, as this runs for every field reference of every line drawn.
class field_name {
public:
    field_name(const char* text, size_t length) {
        if (length < sizeof m_short) {
            std::memcpy(m_short, text, length);
            m_short[length] = '\0';
            m_text = m_short;
        } else {
            m_long.assign(text, length);
            m_text = m_long.c_str();
        }
    }
    field_name(const field_name&) = delete;
    field_name& operator=(const field_name&) = delete;

    const char* c_str() const { return m_text; }

private:
    char m_short[64];
    std::string m_long;
    const char* m_text;
};

// A reader of the active storage and the track's handle in it, or nothing.
struct track_view {
    service_ptr_t<tagshelf_impl::tagshelf_reader_wrapper> reader;
    tagshelf_handle_ptr handle;

    bool open(metadb_handle* track) {
        if (!tagshelf_impl::instance().get_reader_wrapper(reader))
            return false;
        reader->get_handle(handle, metadb_handle_ptr(track));
        return true;
    }
    // A private copy of the track's fields; the store lock is given up at once.
    x_info_impl copy_fields() {
        x_info_impl fields;
        reader->get_info(handle, fields);
        handle.release();
        reader.release();
        return fields;
    }
};

void write(titleformat_text_out* out, const char* text, size_t length = text_to_terminator) {
    out->write(tagshelf_input_type, text, length);
}

bool shelf_value(track_view& view, titleformat_hook_function_params* params,
                 titleformat_text_out* out, bool& found) {
    uint32_t index = 0;
    if (params->get_param_count() == 2) {
        param_text y = param(params, 1);
        index = read_param_number(y.text, y.length);
    }
    param_text x = param(params, 0);
    string8 value;
    found = view.reader->get_value(view.handle, field_name(x.text, x.length).c_str(), index, value);
    write(out, value.get_ptr(), value.get_length());
    return true;
}

bool shelf_num(track_view& view, titleformat_hook_function_params* params,
               titleformat_text_out* out, bool& found) {
    param_text x = param(params, 0);
    size_t count = view.reader->get_value_count(view.handle, field_name(x.text, x.length).c_str());
    found = count != 0;
    std::string digits = std::to_string(count);
    write(out, digits.data(), digits.size());
    return true;
}

bool shelf_sep(track_view& view, titleformat_hook_function_params* params,
               titleformat_text_out* out, bool& found) {
    x_info_impl fields = view.copy_fields();
    param_text x = param(params, 0);
    size_t field = fields.find_field(x.text, x.length);
    if (field == x_info::npos)
        return true;
    param_text separator = param(params, 1);
    const bool has_last = params->get_param_count() == 3;
    size_t count = fields.get_value_count(field);
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            param_text sep = (has_last && i + 1 == count) ? param(params, 2) : separator;
            write(out, sep.text, sep.length);
        }
        write(out, fields.get_value(field, i));
    }
    found = true;
    return true;
}

bool shelf_list(track_view& view, titleformat_hook_function_params* params,
                titleformat_text_out* out, bool& found) {
    x_info_impl fields = view.copy_fields();
    const size_t count = params->get_param_count();
    param_text item_separator = count >= 1 ? param(params, 0) : param_text{"\r\n", 2};
    param_text name_separator = count >= 2 ? param(params, 1) : param_text{"=", 1};
    bool first = true;
    for (size_t f = 0; f < fields.get_field_count(); ++f) {
        for (size_t v = 0; v < fields.get_value_count(f); ++v) {
            if (!first)
                write(out, item_separator.text, item_separator.length);
            first = false;
            write(out, fields.get_field_name(f));
            write(out, name_separator.text, name_separator.length);
            write(out, fields.get_value(f, v));
        }
    }
    found = true;
    return true;
}

}  // namespace

bool tagshelf_display_hook::resolve_field(metadb_handle* track, titleformat_text_out* out,
                                          const char* name, size_t name_length, bool& found) {
    if (cfg_field_processing == 0)
        return false;
    try {
        service_ptr_t<tagshelf_impl::tagshelf_reader_wrapper> reader;
        if (!tagshelf_impl::instance().get_reader_wrapper(reader))
            return false;
        string8 value;
        if (!reader->get_track_value(metadb_handle_ptr(track),
                                     field_name(name, name_length).c_str(), 0, value)) {
            return false;
        }
        write(out, value.get_ptr(), value.get_length());
        found = true;
        return true;
    } catch (...) {
        report_current_error(
            "Reading tagshelf data failed when evaluating a field in a tagz script.", true);
    }
    return false;
}

bool tagshelf_display_hook::resolve_function(metadb_handle* track, titleformat_text_out* out,
                                             const char* name, size_t name_length,
                                             titleformat_hook_function_params* params,
                                             bool& found) {
    if (!has_shelf_prefix(name, name_length) || cfg_function_processing == 0)
        return false;
    const shelf_function function =
        recognize_shelf_function(name, name_length, params->get_param_count());
    if (function == shelf_function::none)
        return false;
    try {
        track_view view;
        if (!view.open(track)) {
            // Without storage each function answers as an empty field would, except
            // $shelf_sep, which is left to the host.
            if (function == shelf_function::shelf_sep)
                return false;
            if (function == shelf_function::shelf_list)
                found = true;
            return true;
        }
        switch (function) {
            case shelf_function::shelf:
                return shelf_value(view, params, out, found);
            case shelf_function::shelf_num:
                return shelf_num(view, params, out, found);
            case shelf_function::shelf_sep:
                return shelf_sep(view, params, out, found);
            case shelf_function::shelf_list:
                return shelf_list(view, params, out, found);
            case shelf_function::none:
                break;
        }
    } catch (...) {
        report_current_error("Reading tagshelf data failed when evaluating a tagz function.", true);
    }
    return false;
}

service_impl_single_t<tagshelf_display_hook>& tagshelf_display_hook::instance() {
    static service_impl_single_t<tagshelf_display_hook> hook;
    return hook;
}
