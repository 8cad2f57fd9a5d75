#include "quicktag/cfg_quicktag_entries.h"

#include <algorithm>

#include "sdk/utf8.h"

namespace {

void write_string(stream_writer& out, const std::string& text, abort_callback& abort) {
    out.write_lendian_u32(uint32_t(text.size()), abort);
    out.write_string_raw(text, abort);
}

// Reads in bounded chunks, so that a length announced by damaged data costs no
// more memory than the bytes that really follow it.
std::string read_string(stream_reader& in, abort_callback& abort) {
    uint32_t length = in.read_lendian_u32(abort);
    std::string text;
    char chunk[4096];
    while (text.size() < length) {
        size_t want = std::min(sizeof chunk, size_t(length) - text.size());
        in.read_object(chunk, want, abort);
        text.append(chunk, want);
    }
    return text;
}

quicktag_entry read_entry(stream_reader& in, abort_callback& abort) {
    quicktag_entry entry;
    entry.display_name = read_string(in, abort);
    entry.field_name = read_string(in, abort);
    entry.value = read_string(in, abort);
    return entry;
}

}  // namespace

cfg_quicktag_entries_t::cfg_quicktag_entries_t(const GUID& guid)
    : cfg_var(guid), m_entries(defaults()) {}

const std::vector<quicktag_entry>& cfg_quicktag_entries_t::defaults() {
    static const std::vector<quicktag_entry> list = {
        {"Tag Shelf/Rate 5", "RATING", "5"},
        {"Tag Shelf/Rate 4", "RATING", "4"},
        {"Tag Shelf/Rate 3", "RATING", "3"},
        {"Tag Shelf/Rate 2", "RATING", "2"},
        {"Tag Shelf/Rate 1", "RATING", "1"},
        {"Tag Shelf/Rate 0", "RATING", "0"},
        {"Tag Shelf/Rate +1", "RATING", "$add(%RATING%,1)"},
        {"Tag Shelf/Rate -1", "RATING", "$sub(%RATING%,1)"},
    };
    return list;
}

void cfg_quicktag_entries_t::reset_to_defaults() {
    m_entries = defaults();
}

void cfg_quicktag_entries_t::sort_by_display_name() {
    std::sort(m_entries.begin(), m_entries.end(),
              [](const quicktag_entry& a, const quicktag_entry& b) {
                  return uStringCompare(a.display_name.c_str(), b.display_name.c_str()) < 0;
              });
}

void cfg_quicktag_entries_t::write_entries(const std::vector<quicktag_entry>& entries,
                                           stream_writer& out, abort_callback& abort) {
    out.write_lendian_u32(uint32_t(entries.size()), abort);
    for (const auto& entry : entries) {
        write_string(out, entry.display_name, abort);
        write_string(out, entry.field_name, abort);
        write_string(out, entry.value, abort);
    }
}

std::vector<quicktag_entry> cfg_quicktag_entries_t::read_entries(stream_reader& in,
                                                                 abort_callback& abort) {
    uint32_t count = in.read_lendian_u32(abort);
    std::vector<quicktag_entry> entries;
    for (uint32_t i = 0; i < count; ++i)
        entries.push_back(read_entry(in, abort));
    return entries;
}

void cfg_quicktag_entries_t::write_data(stream_writer& out, abort_callback& abort) {
    write_entries(m_entries, out, abort);
}

void cfg_quicktag_entries_t::read_data(stream_reader& in, size_t, abort_callback& abort) {
    // The saved list replaces the defaults even when it is empty; entries read
    // before a damaged record are kept, as the settings reader keeps what each
    // variable reached.
    m_entries.clear();
    uint32_t count = in.read_lendian_u32(abort);
    for (uint32_t i = 0; i < count; ++i)
        m_entries.push_back(read_entry(in, abort));
}
