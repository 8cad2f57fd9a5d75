// The host's media library: the set of tracks the user collected, kept in the
// profile directory as a text file with one "SUBSONG<TAB>PATH" line per track.
// Membership, adding, removing and the file notifications are hash lookups, so a
// library of a million tracks costs per track what a library of ten does. Every
// track it lists is held as the track database's handle, which knows that it is
// listed: asking about a handle of a listed spelling reads only the handle.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "host/core/tracks.h"
#include "sdk/metadb.h"

class media_library : public library_manager {
    struct slot;

public:
    // The tracks in the order they were added (the library file keeps that order).
    class item_range {
    public:
        class iterator {
        public:
            using iterator_category = std::forward_iterator_tag;
            using value_type = fixed_location;
            using difference_type = std::ptrdiff_t;
            using pointer = const fixed_location*;
            using reference = const fixed_location&;

            reference operator*() const { return m_at->track->location(); }
            pointer operator->() const { return &m_at->track->location(); }
            iterator& operator++() {
                m_at = skip_removed(m_at + 1, m_end);
                return *this;
            }
            bool operator==(const iterator& other) const { return m_at == other.m_at; }
            bool operator!=(const iterator& other) const { return m_at != other.m_at; }

        private:
            friend class item_range;
            iterator(const slot* at, const slot* end) : m_at(skip_removed(at, end)), m_end(end) {}
            const slot* m_at;
            const slot* m_end;
        };

        iterator begin() const { return iterator(m_begin, m_end); }
        iterator end() const { return iterator(m_end, m_end); }

    private:
        friend class media_library;
        item_range(const slot* begin, const slot* end) : m_begin(begin), m_end(end) {}
        const slot* m_begin;
        const slot* m_end;
    };

    // A library of its own track database, for use without a host session.
    media_library();
    // A library whose tracks are the handles of `tracks`.
    explicit media_library(service_ptr_t<track_database> tracks);
    ~media_library();
    media_library(const media_library&) = delete;
    media_library& operator=(const media_library&) = delete;

    bool is_item_in_library(const metadb_handle_ptr& track) override;
    void enum_tracks(library_track_callback& callback) override;

    bool contains(const playable_location& location) const;
    // Adds a track; false when it was already there.
    bool add(const playable_location& location);
    // Removes a track (the earliest added, should the library file have listed it
    // twice); false when it was not there.
    bool remove(const playable_location& location);
    // A file moved: every subsong of `from` now lives at `to`.
    void move_path(const std::string& from, const std::string& to);
    // A file deleted: every subsong of it leaves the library.
    void remove_path(const std::string& path);
    item_range items() const;
    size_t size() const { return m_slots.size() - m_removed; }

    // Reads the library file; every line is kept as it stands, duplicates too.
    void load(const std::string& file);
    void save(const std::string& file) const;
    bool changed() const { return m_changed; }

private:
    static constexpr size_t no_slot = size_t(-1);

    // One track as added, or a removed one (without a track) waiting for the next
    // compaction.
    struct slot {
        service_ptr_t<host_track> track;
        // The next slot of the same chain, in the order of adding; no_slot at the end.
        size_t next = no_slot;
        bool removed = false;

        const fixed_location& location() const { return track->location(); }
    };
    // The slots whose lower-cased paths hash alike, linked through slot::next:
    // the subsongs of one file, and on the rare clash of hashes another file's,
    // told apart by comparing the paths.
    struct chain {
        size_t head;
        size_t tail;
    };

    static const slot* skip_removed(const slot* at, const slot* end) {
        while (at != end && at->removed)
            ++at;
        return at;
    }
    // The hash of the lower-cased path, so that paths equal without regard to
    // letter case meet in one chain. Keeping the hash rather than the lower-cased
    // path keeps a million-track index small.
    static size_t path_hash(std::string_view path);
    // contains() for a location whose path_hash is known.
    bool contains(const playable_location& location, size_t hash) const;
    // Whether slot `index` is at `path`, without regard to letter case.
    bool holds(size_t index, const char* path) const;
    void append(std::string_view path, uint32_t subsong);
    // Lists the track of `path` and `subsong` in slot `index`, which has none.
    void list_at(size_t index, std::string_view path, uint32_t subsong);
    // Empties every slot and the index.
    void clear();
    // Takes out of the chain under `hash` the slots `wanted` picks, up to `limit`
    // of them, and answers them as a chain of their own (head no_slot: none).
    template <class Pick>
    chain take(size_t hash, Pick wanted, size_t limit);
    // Links the chain `taken` into the chain under `hash`, keeping the order of adding.
    void merge(size_t hash, chain taken);
    void mark_removed(chain taken);
    // Drops the removed slots once they outnumber the tracks, so that removals
    // cost a constant amount each over time.
    void compact_if_sparse();

    service_ptr_t<track_database> m_tracks;
    std::vector<slot> m_slots;
    absl::flat_hash_map<size_t, chain> m_chains;
    size_t m_removed = 0;
    bool m_changed = false;
};
