// The in-memory store that every storage method keeps: one table of entries
// ordered by location hash, each entry holding the fields of one track location,
// and one re-entrant lock that every reader and writer holds for its whole life.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/metadb.h"
#include "service/tagshelf.h"
#include "storage/x_info.h"

// The hash that orders the table: the path lower-cased, summed as 32-bit
// little-endian words (trailing bytes that do not fill a word are ignored), plus
// the subsong, all modulo 2^32.
uint32_t location_hash(std::string_view path, uint32_t subsong);

// The stored entry of one location; also the handle that accessors give out.
class storage_entry : public tagshelf_handle {
public:
    storage_entry(playable_location_impl location, uint32_t hash)
        : location(std::move(location)), hash(hash) {}

    const playable_location& get_location() override { return location; }
    // Asks the host's track-handle service for the track of this location.
    void get_metadb_handle(metadb_handle_ptr& out) override;

    // Table generation at which `position` was last known to be right.
    uint32_t generation = 0;
    // Index in the table; -1 while the entry is not stored (detached).
    int32_t position = -1;
    // The location as given when the entry was created (its own spelling).
    const playable_location_impl location;
    const uint32_t hash;
    // A detached entry always has no fields.
    x_info_impl fields;
};

using storage_entry_ptr = service_ptr_t<storage_entry>;

// The table of one storage method with its lock. The table is changed only with
// the lock held, or by a method's own open and close.
class tagshelf_store {
public:
    tagshelf_store() = default;
    tagshelf_store(const tagshelf_store&) = delete;
    tagshelf_store& operator=(const tagshelf_store&) = delete;
    ~tagshelf_store() { remove_all(); }

    std::recursive_mutex& mutex() { return m_mutex; }

    // The stored entry for `location`, or a new detached one (the table is not changed).
    storage_entry_ptr get_handle(const playable_location& location);
    // The stored entry that lookups of `location` find, or null when none is stored.
    storage_entry* find(const playable_location& location) const;
    // Stores a detached entry at its place in hash order; a stored entry is left alone.
    void attach(storage_entry& entry);
    // Empties and removes exactly this entry from the table; a detached entry is
    // left alone.
    void remove(storage_entry& entry);
    // Empties and detaches every entry. Handles held elsewhere stay valid.
    void remove_all();

    const std::vector<storage_entry_ptr>& entries() const { return m_table; }
    size_t entry_count() const { return m_table.size(); }
    size_t total_value_count() const;
    uint32_t generation() const { return m_generation; }

    // Loading in bulk. Records come in any order; the result is exactly what
    // storing them one at a time (get_handle, then set_info) gives: an equal
    // location keeps its first spelling and place and takes the later record's
    // fields. Costs O(n log n) instead of the O(n^2) of one-at-a-time insertion.
    class bulk_loader {
    public:
        explicit bulk_loader(tagshelf_store& store) : m_store(store) {}
        void reserve(size_t count) {
            m_store.m_table.reserve(m_store.m_table.size() + count);
            m_store.m_hashes.reserve(m_store.m_hashes.size() + count);
        }
        // Appends a record; it is not visible to lookups until commit().
        void add(std::string path, uint32_t subsong, x_info_impl fields);
        // Puts the table in hash order and merges equal locations.
        void commit() { m_store.normalize(); }

    private:
        tagshelf_store& m_store;
    };

    // Appends an entry at the end of the table without searching. The table is out
    // of order until normalize() runs; used by loaders that trust their input order.
    storage_entry& append_unsorted(std::string path, uint32_t subsong);
    // Restores hash order (stable) and merges equal locations as bulk_loader does.
    // Only entries appended since the last normalize() are merged.
    void normalize();

private:
    // Lookup: on success the entry's index; either way `stop` receives where the
    // search stopped (the index of the found entry, or after every equal hash).
    bool find(const playable_location& location, uint32_t hash, size_t& stop) const;
    size_t lower_bound(uint32_t hash) const;

    static constexpr size_t no_unsorted = ~size_t(0);

    std::recursive_mutex m_mutex;
    std::vector<storage_entry_ptr> m_table;
    // The hash of every entry of m_table at the same index. Lookups search here:
    // a binary search over a million entries then reads a few cache lines instead
    // of following a pointer to every entry it probes.
    std::vector<uint32_t> m_hashes;
    uint32_t m_generation = 0;
    // Index of the first entry appended unsorted since the table was last in
    // order, or no_unsorted.
    size_t m_unsorted_from = no_unsorted;
};
