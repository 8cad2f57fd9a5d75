// The in-memory store that every storage method keeps: the entries of one storage
// method, each holding the fields of one track location, with one re-entrant lock
// that every reader and writer holds for its whole life.
//
// Two structures hold the entries. The table keeps them in location-hash order
// (equal hashes in insertion order), which is the order of enumeration and of
// every stored file; it is a B-tree, so storing or removing an entry touches a
// few nodes instead of moving every later entry. Each of its slots holds the
// entry's hash and rank beside the pointer, so a search compares integers in
// the node it reads instead of visiting an entry per comparison. The path index finds the
// entries of a path, whatever its letter case, by hashing the case-folded path:
// a lookup reads one bucket instead of searching the table, and a file operation
// finds every subsong of a path at once.
#pragma once

#include <absl/container/btree_set.h>
#include <absl/container/flat_hash_set.h>
#include <absl/container/inlined_vector.h>
#include <tsl/hopscotch_set.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "sdk/metadb.h"
#include "service/tagshelf.h"
#include "storage/packed_fields.h"
#include "storage/stored_location.h"
#include "storage/x_info.h"

// The hash that orders the table: the path lower-cased, summed as 32-bit
// little-endian words (trailing bytes that do not fill a word are ignored), plus
// the subsong, all modulo 2^32.
uint32_t location_hash(std::string_view path, uint32_t subsong);
// The same for a path already lower-cased.
uint32_t location_hash_of_folded(std::string_view folded, uint32_t subsong);
// The hash under which the path index files a lower-cased path.
uint32_t path_index_hash(std::string_view folded);

class storage_entry;
using storage_entry_ptr = service_ptr_t<storage_entry>;

// The stored entry of one location; also the handle that accessors give out.
// Entries are made by make(), which puts the path in the same allocation.
class storage_entry : public tagshelf_handle {
public:
    static storage_entry_ptr make(std::string_view path, uint32_t subsong);
    // The same for a path already case-folded into `folded`.
    static storage_entry_ptr make(std::string_view path, std::string_view folded, uint32_t subsong);

    const playable_location& get_location() override { return location; }
    // Asks the host's track-handle service for the track of this location.
    void get_metadb_handle(metadb_handle_ptr& out) override;

    // Starts loading the entry and its path, which a walk reads next.
    void prefetch() const;

    // Whether the entry is in its store's table (else it is detached).
    bool is_stored() const { return m_rank != 0; }

    // The entry and its path are one block of memory, larger than the object: it
    // is freed without a size.
    static void operator delete(void* block) { ::operator delete(block); }

protected:
    // The path is zero-terminated behind the entry, so its length goes unused.
    storage_entry(const char* path, size_t /*length*/, uint32_t subsong, uint32_t hash,
                  uint32_t path_hash)
        : location(path, subsong), hash(hash), m_path_hash(path_hash) {}

private:
    friend class tagshelf_store;

    // A store holds one entry per track of a library, so the members go widest
    // first: with 8-byte pointers, the reference count that service_impl_t adds
    // behind them then fills the last word instead of a word of its own.
public:
    // The location as given when the entry was created (its own spelling).
    const stored_location location;
    // A detached entry always has no fields.
    packed_fields fields;

private:
    // The next stored entry of the same path (another subsong), in no particular
    // order.
    storage_entry* m_next_of_path = nullptr;

public:
    const uint32_t hash;

private:
    // The hash of the case-folded path, under which the path index files the entry.
    const uint32_t m_path_hash;
    // Orders entries of equal hash in the table: unique among them, and 0 while
    // the entry is not stored. Ranks of one hash may be renumbered, in order.
    uint32_t m_rank = 0;
};

// The entries of one storage method with its lock. The store is changed only with
// the lock held, or by a method's own open and close.
class tagshelf_store {
    // The key that orders the table: hash, then rank among equal hashes.
    static uint64_t table_key(uint32_t hash, uint32_t rank) { return uint64_t(hash) << 32 | rank; }
    // One slot of the table: the entry with the key that orders it. The rank is
    // mutable because renumbering a hash's run changes it in place, keeping the
    // order of the slots.
    struct table_slot {
        uint32_t hash;
        mutable uint32_t rank;
        storage_entry* entry;

        uint64_t key() const { return table_key(hash, rank); }
    };
    struct slot_order {
        using is_transparent = void;
        // A node's keys are a few small integers: scanning them in turn costs less
        // than the mispredicted branches of a binary search.
        using absl_btree_prefer_linear_node_search = std::true_type;
        bool operator()(const table_slot& a, const table_slot& b) const {
            return a.key() < b.key();
        }
        bool operator()(const table_slot& a, uint64_t b) const { return a.key() < b; }
        bool operator()(uint64_t a, const table_slot& b) const { return a < b.key(); }
    };
    using table = absl::btree_set<table_slot, slot_order>;

public:
    // Whether stored entry `a` comes before stored entry `b` in the table.
    struct table_order {
        bool operator()(const storage_entry* a, const storage_entry* b) const {
            return a->hash != b->hash ? a->hash < b->hash : a->m_rank < b->m_rank;
        }
    };
    // Every stored entry in table order, as storage_entry pointers.
    class entry_range {
    public:
        class iterator {
        public:
            using iterator_category = std::forward_iterator_tag;
            using value_type = storage_entry*;
            using difference_type = std::ptrdiff_t;
            using pointer = storage_entry* const*;
            using reference = storage_entry*;

            iterator() = default;
            explicit iterator(table::const_iterator at) : m_at(at) {}
            storage_entry* operator*() const { return m_at->entry; }
            iterator& operator++() {
                ++m_at;
                return *this;
            }
            iterator operator++(int) { return iterator(m_at++); }
            bool operator==(const iterator& other) const { return m_at == other.m_at; }
            bool operator!=(const iterator& other) const { return m_at != other.m_at; }

        private:
            table::const_iterator m_at;
        };

        explicit entry_range(const table& slots) : m_slots(slots) {}
        iterator begin() const { return iterator(m_slots.begin()); }
        iterator end() const { return iterator(m_slots.end()); }

    private:
        const table& m_slots;
    };

    tagshelf_store() = default;
    tagshelf_store(const tagshelf_store&) = delete;
    tagshelf_store& operator=(const tagshelf_store&) = delete;
    ~tagshelf_store() { remove_all(); }

    std::recursive_mutex& mutex() { return m_mutex; }

    // The stored entry for `location`, or a new detached one (the store is not changed).
    storage_entry_ptr get_handle(const playable_location& location);
    // The stored entry that lookups of `location` find, or null when none is stored.
    storage_entry* find(const playable_location& location) const;
    // The entries of one path: a file has few subsongs, so they fit without an
    // allocation.
    using path_entries = absl::InlinedVector<storage_entry*, 4>;
    // Appends every stored entry whose path equals `path` without regard to letter
    // case, of any subsong, in table order.
    void find_path(std::string_view path, path_entries& out) const;
    // The same for a path already case-folded into `folded`.
    void find_path(std::string_view path, std::string_view folded, path_entries& out) const;
    // The entry that holds `entry`'s location: `entry` itself when it is stored or
    // when no entry is stored for its location, else the one stored for it. A
    // handle taken while its location was unstored stays detached when another
    // handle stores the location; writes and reads through it act on the holder,
    // so that a location never has two entries.
    storage_entry& holder_of(storage_entry& entry) const;
    // Stores `entry` behind every entry of equal hash and answers it; a stored
    // entry is left alone. When another entry already holds the location, nothing
    // changes and that entry is answered.
    storage_entry& attach(storage_entry& entry);
    // Empties and removes exactly this entry; a detached entry is left alone.
    void remove(storage_entry& entry);
    // Where a stored entry stands among the entries of its hash (larger is later);
    // 0 for a detached entry.
    static uint32_t place_of(const storage_entry& entry) { return entry.m_rank; }
    // Puts an entry back as it was when place_of answered `place`: detached and
    // empty for 0, else stored with `fields` at that place, or behind the entries
    // of its hash when another entry has taken the place since.
    void restore(storage_entry& entry, uint32_t place, packed_fields fields);
    // Empties and detaches every entry. Handles held elsewhere stay valid.
    void remove_all();

    entry_range entries() const { return entry_range(m_table); }
    // Calls visit(entry) for every stored entry in table order, loading entries a
    // few ahead of the one visited: entries lie scattered in memory, and a walk
    // that reads each one's path would otherwise wait for them one by one.
    template <class Visit>
    void visit_entries(Visit&& visit) const {
        constexpr int lookahead = 8;
        const entry_range all = entries();
        auto ahead = all.begin();
        for (int i = 0; i < lookahead && ahead != all.end(); ++i, ++ahead)
            (*ahead)->prefetch();
        for (storage_entry* entry : all) {
            if (ahead != all.end()) {
                (*ahead)->prefetch();
                ++ahead;
            }
            visit(entry);
        }
    }
    size_t entry_count() const { return m_table.size(); }
    size_t total_value_count() const;

    // Loading in bulk. Records come in any order; the result is exactly what
    // storing them one at a time (get_handle, then set_info) gives: an equal
    // location keeps its first spelling and place and takes the later record's
    // fields. Records are not visible to lookups until commit(); records not
    // committed are dropped.
    class bulk_loader {
    public:
        explicit bulk_loader(tagshelf_store& store) : m_store(store) {}
        bulk_loader(const bulk_loader&) = delete;
        bulk_loader& operator=(const bulk_loader&) = delete;

        void reserve(size_t count);
        // Copies the path and packs the fields; the caller may reuse both.
        void add(std::string_view path, uint32_t subsong, const x_info& fields);
        // Stores every record added since the last commit.
        void commit();

    private:
        // Links the new records into the path index and the table; `fresh` receives
        // each record that became an entry, for undoing.
        void link_records(std::vector<storage_entry*>& fresh);

        tagshelf_store& m_store;
        std::vector<storage_entry_ptr> m_pending;
    };

private:
    // What the path index is searched with: the sought path as given and folded,
    // with the hash of the folded bytes.
    struct path_probe {
        std::string_view path;
        size_t hash;
    };
    struct path_hash {
        using is_transparent = void;
        size_t operator()(const storage_entry* entry) const { return entry->m_path_hash; }
        size_t operator()(const path_probe& probe) const { return probe.hash; }
    };
    struct path_equal {
        using is_transparent = void;
        bool operator()(const storage_entry* a, const storage_entry* b) const;
        bool operator()(const storage_entry* a, const path_probe& b) const;
        bool operator()(const path_probe& a, const storage_entry* b) const { return (*this)(b, a); }
    };
    // One element per stored path: the first entry of the path's chain. The kind
    // of set depends on the width of a pointer, and only here:
    //  - with 8-byte pointers, a hopscotch set that keeps the path hash beside
    //    each pointer (the last argument) in what would otherwise be the bucket's
    //    padding. A path's candidates lie in the buckets right behind its own: a
    //    lookup reads one stretch of the index, then the entry it compares, nearly
    //    always the one sought. A neighbourhood of 30 buckets is the widest the
    //    set allows when it keeps the hashes.
    //  - with 4-byte pointers, where that hash would make each bucket 12 bytes
    //    instead of 8 and a 32-bit player's address space is scarce, a flat hash
    //    set whose slot is the bare pointer, with seven bits of the path hash in
    //    a control byte of its own: 5 bytes a slot. A lookup reads a group of
    //    control bytes, then the slot, then nearly always only the entry sought.
    using hopscotch_path_index = tsl::hopscotch_set<storage_entry*, path_hash, path_equal,
                                                    std::allocator<storage_entry*>, 30, true>;
    using flat_path_index = absl::flat_hash_set<storage_entry*, path_hash, path_equal>;
    using path_index =
        std::conditional_t<sizeof(storage_entry*) >= 8, hopscotch_path_index, flat_path_index>;

    // The first entry of the chain of `path`, case-folded into `folded`, or null.
    storage_entry* chain_of(std::string_view path, std::string_view folded) const;
    // The stored entry that lookups of `entry`'s location find, or null; uses the
    // path hash the entry keeps instead of folding its path again.
    storage_entry* find_like(const storage_entry& entry) const;
    // The entry of `chain` with that subsong, or null.
    static storage_entry* of_subsong(storage_entry* chain, uint32_t subsong);
    void link_path(storage_entry& entry);
    void unlink_path(storage_entry& entry);
    static uint64_t key_of(const storage_entry& entry) {
        return table_key(entry.hash, entry.m_rank);
    }
    // The first slot past every entry of `hash`.
    table::const_iterator run_end(uint32_t hash) const;
    // Where an entry of `hash` goes behind every stored entry of that hash, and the
    // rank it takes there.
    std::pair<table::const_iterator, uint32_t> end_of_run(uint32_t hash);
    // Gives the stored entries of `hash` evenly spaced ranks in the same order, with
    // room behind the last; changes no slot's place.
    void renumber_run(uint32_t hash);

    // Ranks leave room between neighbours, so that runs are renumbered seldom.
    static constexpr uint32_t rank_step = 1u << 8;

    std::recursive_mutex m_mutex;
    table m_table;
    path_index m_paths;
};
