// The host's media library: the set of tracks the user collected, kept in the
// profile directory as a text file with one "SUBSONG<TAB>PATH" line per track.
#pragma once

#include <string>
#include <vector>

#include "sdk/metadb.h"

class media_library : public library_manager {
public:
    bool is_item_in_library(const metadb_handle_ptr& track) override;

    bool contains(const playable_location& location) const;
    // Adds a track; false when it was already there.
    bool add(const playable_location& location);
    // Removes a track; false when it was not there.
    bool remove(const playable_location& location);
    // A file moved: every subsong of `from` now lives at `to`.
    void move_path(const std::string& from, const std::string& to);
    // A file deleted: every subsong of it leaves the library.
    void remove_path(const std::string& path);
    const std::vector<playable_location_impl>& items() const { return m_items; }

    void load(const std::string& file);
    void save(const std::string& file) const;
    bool changed() const { return m_changed; }

private:
    std::vector<playable_location_impl> m_items;
    bool m_changed = false;
};
