// The one list of quick-tag commands, kept in order (the order of the context
// menu and of the preferences page), persisted with the host's configuration.
// Used on the host's user-interface thread only; it has no lock.
#pragma once

#include <vector>

#include "frame/cfg_var.h"
#include "quicktag/quicktag_entry.h"

class cfg_quicktag_entries_t final : public cfg_var {
public:
    // Starts with the eight default commands.
    explicit cfg_quicktag_entries_t(const GUID& guid);

    size_t get_count() const { return m_entries.size(); }
    bool is_valid_index(size_t index) const { return index < m_entries.size(); }
    quicktag_entry& operator[](size_t index) { return m_entries[index]; }
    const quicktag_entry& operator[](size_t index) const { return m_entries[index]; }
    void add_item(quicktag_entry entry) { m_entries.push_back(std::move(entry)); }
    void remove_by_idx(size_t index) { m_entries.erase(m_entries.begin() + std::ptrdiff_t(index)); }
    const std::vector<quicktag_entry>& entries() const { return m_entries; }
    // Replaces the whole list.
    void set_entries(std::vector<quicktag_entry> entries) { m_entries = std::move(entries); }

    // Discards every entry and installs the eight defaults.
    void reset_to_defaults();
    // Orders the entries by whole display name, menu path included, with the
    // host's collation. Entries of equal display names keep no particular order.
    void sort_by_display_name();

    // The persisted form: a u32 count, then per entry its display name, field name
    // and value, each as a u32 byte length and the UTF-8 bytes.
    void write_data(stream_writer& out, abort_callback& abort) override;
    // Empties the list, then reads the persisted form; a short stream raises the
    // stream's error and leaves the entries read before it.
    void read_data(stream_reader& in, size_t size_hint, abort_callback& abort) override;

    // The persisted form read into a new list, leaving this one alone; raises on a
    // short stream.
    static std::vector<quicktag_entry> read_entries(stream_reader& in, abort_callback& abort);
    static void write_entries(const std::vector<quicktag_entry>& entries, stream_writer& out,
                              abort_callback& abort);
    static const std::vector<quicktag_entry>& defaults();

private:
    std::vector<quicktag_entry> m_entries;
};

// The quick-tag commands.
extern cfg_quicktag_entries_t cfg_quicktag_entries;
