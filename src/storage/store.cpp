#include "storage/store.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "frame/host_ops.h"
#include "sdk/hash_bytes.h"
#include "sdk/prefetch.h"
#include "sdk/utf8.h"
#include "storage/folded_path.h"

namespace {

// The four bytes at `at` as a little-endian word.
uint32_t little_endian_word(const char* at) {
    uint32_t word;
    std::memcpy(&word, at, sizeof word);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap32(word);
#endif
    return word;
}

}  // namespace

uint32_t location_hash_of_folded(std::string_view folded, uint32_t subsong) {
    uint32_t sum = subsong;
    for (size_t i = 0; i + 4 <= folded.size(); i += 4)
        sum += little_endian_word(folded.data() + i);
    return sum;
}

uint32_t location_hash(std::string_view path, uint32_t subsong) {
    return location_hash_of_folded(folded_path(path).view(), subsong);
}

uint32_t path_index_hash(std::string_view folded) {
    // The index needs the low 7 bits and a few dozen above them; 32 bits of a
    // well-mixed hash are plenty and keep the entry small.
    return uint32_t(hash_bytes(folded));
}

storage_entry_ptr storage_entry::make(std::string_view path, uint32_t subsong) {
    return make(path, folded_path(path).view(), subsong);
}

storage_entry_ptr storage_entry::make(std::string_view path, std::string_view folded,
                                      uint32_t subsong) {
    return storage_entry_ptr(new_with_path_behind<service_impl_t<storage_entry>>(
        path, subsong, location_hash_of_folded(folded, subsong), path_index_hash(folded)));
}

void storage_entry::prefetch() const {
    // The object and the path behind it: a path of ordinary length ends within
    // the third cache line.
    const char* block = reinterpret_cast<const char*>(this);
    prefetch_for_reading(block);
    prefetch_for_reading(block + 64);
    prefetch_for_reading(block + 128);
}

void storage_entry::get_metadb_handle(metadb_handle_ptr& out) {
    out = host_ops::track_for(location);
}

namespace {

bool same_path(std::string_view a, std::string_view b) {
    return stricmp_utf8_ex(a.data(), a.size(), b.data(), b.size()) == 0;
}

}  // namespace

bool tagshelf_store::path_equal::operator()(const storage_entry* a, const storage_entry* b) const {
    return a == b ||
           (a->m_path_hash == b->m_path_hash && same_path(a->location.path(), b->location.path()));
}

bool tagshelf_store::path_equal::operator()(const storage_entry* a, const path_probe& b) const {
    return same_path(a->location.path(), b.path);
}

storage_entry* tagshelf_store::chain_of(std::string_view path, std::string_view folded) const {
    auto found = m_paths.find(path_probe{path, path_index_hash(folded)});
    return found == m_paths.end() ? nullptr : *found;
}

storage_entry* tagshelf_store::of_subsong(storage_entry* chain, uint32_t subsong) {
    for (storage_entry* e = chain; e; e = e->m_next_of_path) {
        if (e->location.get_subsong() == subsong)
            return e;
    }
    return nullptr;
}

storage_entry* tagshelf_store::find(const playable_location& location) const {
    const char* path = location.get_path();
    return of_subsong(chain_of(path, folded_path(path).view()), location.get_subsong());
}

void tagshelf_store::find_path(std::string_view path, path_entries& out) const {
    find_path(path, folded_path(path).view(), out);
}

void tagshelf_store::find_path(std::string_view path, std::string_view folded,
                               path_entries& out) const {
    const size_t first = out.size();
    for (storage_entry* e = chain_of(path, folded); e; e = e->m_next_of_path)
        out.push_back(e);
    std::sort(out.begin() + std::ptrdiff_t(first), out.end(), table_order());
}

storage_entry_ptr tagshelf_store::get_handle(const playable_location& location) {
    const std::string_view path = location.get_path();
    const folded_path folded(path);
    if (storage_entry* stored = of_subsong(chain_of(path, folded.view()), location.get_subsong()))
        return stored;
    return storage_entry::make(path, folded.view(), location.get_subsong());
}

void tagshelf_store::link_path(storage_entry& entry) {
    // The chain's first entry stands in the index for the whole chain; others join
    // behind it, so the index changes only for a path's first entry.
    auto [slot, inserted] = m_paths.insert(&entry);
    if (inserted)
        return;
    storage_entry* first = *slot;
    entry.m_next_of_path = first->m_next_of_path;
    first->m_next_of_path = &entry;
}

void tagshelf_store::unlink_path(storage_entry& entry) {
    auto slot = m_paths.find(&entry);
    storage_entry* next = entry.m_next_of_path;
    entry.m_next_of_path = nullptr;
    if (slot == m_paths.end())
        return;
    if (*slot != &entry) {
        for (storage_entry* e = *slot; e; e = e->m_next_of_path) {
            if (e->m_next_of_path == &entry) {
                e->m_next_of_path = next;
                return;
            }
        }
        return;
    }
    m_paths.erase(slot);
    if (next)
        m_paths.insert(next);
}

tagshelf_store::table::const_iterator tagshelf_store::run_end(uint32_t hash) const {
    return hash == UINT32_MAX ? m_table.end() : m_table.lower_bound(table_key(hash + 1, 0));
}

std::pair<tagshelf_store::table::const_iterator, uint32_t> tagshelf_store::end_of_run(
    uint32_t hash) {
    for (;;) {
        // Entries in hash order mostly go behind the last slot: no search.
        table::const_iterator after = m_table.end();
        if (!m_table.empty() && std::prev(after)->hash > hash)
            after = run_end(hash);
        if (after == m_table.begin() || std::prev(after)->hash != hash)
            return {after, rank_step};
        const uint32_t last = std::prev(after)->rank;
        if (last <= UINT32_MAX - rank_step)
            return {after, last + rank_step};
        renumber_run(hash);
    }
}

void tagshelf_store::renumber_run(uint32_t hash) {
    const table::const_iterator first = m_table.lower_bound(table_key(hash, 0));
    const auto last = run_end(hash);
    const size_t length = size_t(std::distance(first, last));
    // Room for the run and one more behind it, however long the run.
    const uint32_t step =
        uint32_t(std::min<uint64_t>(rank_step, UINT32_MAX / (uint64_t(length) + 2)));
    uint32_t rank = 0;
    for (auto slot = first; slot != last; ++slot) {
        rank += step;
        slot->rank = rank;
        slot->entry->m_rank = rank;
    }
}

storage_entry* tagshelf_store::find_like(const storage_entry& entry) const {
    auto found = m_paths.find(path_probe{entry.location.path(), entry.m_path_hash});
    return found == m_paths.end() ? nullptr : of_subsong(*found, entry.location.get_subsong());
}

storage_entry& tagshelf_store::holder_of(storage_entry& entry) const {
    if (entry.is_stored())
        return entry;
    storage_entry* stored = find_like(entry);
    return stored ? *stored : entry;
}

storage_entry& tagshelf_store::attach(storage_entry& entry) {
    if (entry.is_stored())
        return entry;
    // One probe of the path index both files the entry of a new path and finds the
    // chain of a stored one.
    const auto [found, new_path] = m_paths.insert(&entry);
    storage_entry* const chain = new_path ? nullptr : *found;
    if (chain) {
        if (storage_entry* holder = of_subsong(chain, entry.location.get_subsong()))
            return *holder;
    }
    try {
        const auto [at, rank] = end_of_run(entry.hash);
        entry.m_rank = rank;
        m_table.insert(at, table_slot{entry.hash, rank, &entry});
    } catch (...) {
        entry.m_rank = 0;
        if (new_path)
            m_paths.erase(&entry);
        throw;
    }
    if (chain) {
        entry.m_next_of_path = chain->m_next_of_path;
        chain->m_next_of_path = &entry;
    }
    entry.service_add_ref();
    return entry;
}

void tagshelf_store::remove(storage_entry& entry) {
    if (!entry.is_stored())
        return;
    entry.fields.clear();
    m_table.erase(key_of(entry));
    unlink_path(entry);
    entry.m_rank = 0;
    entry.service_release();
}

void tagshelf_store::remove_all() {
    table entries = std::move(m_table);
    m_table.clear();
    m_paths.clear();
    for (const table_slot& slot : entries) {
        storage_entry* entry = slot.entry;
        entry->fields.clear();
        entry->m_rank = 0;
        entry->m_next_of_path = nullptr;
        entry->service_release();
    }
}

void tagshelf_store::restore(storage_entry& entry, uint32_t place, packed_fields fields) {
    if (place == 0) {
        remove(entry);
        return;
    }
    storage_entry* target = &entry;
    if (!entry.is_stored()) {
        const uint64_t key = table_key(entry.hash, place);
        if (m_table.find(key) != m_table.end() || find_like(entry)) {
            target = &attach(entry);
        } else {
            m_table.insert(table_slot{entry.hash, place, &entry});
            entry.m_rank = place;
            try {
                link_path(entry);
            } catch (...) {
                m_table.erase(key);
                entry.m_rank = 0;
                throw;
            }
            entry.service_add_ref();
        }
    }
    target->fields = std::move(fields);
}

size_t tagshelf_store::total_value_count() const {
    size_t total = 0;
    for (const table_slot& slot : m_table)
        total += slot.entry->fields.total_value_count();
    return total;
}

void tagshelf_store::bulk_loader::reserve(size_t count) {
    m_pending.reserve(m_pending.size() + count);
    m_store.m_paths.reserve(m_store.m_paths.size() + count);
}

void tagshelf_store::bulk_loader::add(std::string_view path, uint32_t subsong,
                                      const x_info& fields) {
    storage_entry_ptr entry = storage_entry::make(path, subsong);
    entry->fields.assign(fields);
    m_pending.push_back(std::move(entry));
}

void tagshelf_store::bulk_loader::commit() {
    // In load order, a record for a location already stored (before this load or
    // by an earlier record) hands its fields to that entry, as set_info would; the
    // others become entries, stored after every entry of equal hash in load order.
    std::vector<storage_entry*> fresh;
    fresh.reserve(m_pending.size());
    try {
        link_records(fresh);
    } catch (...) {
        // Out of memory: records not yet in the table leave the index again.
        for (storage_entry* entry : fresh) {
            if (!entry->is_stored())
                m_store.unlink_path(*entry);
        }
        m_pending.clear();
        throw;
    }
    m_pending.clear();
}

void tagshelf_store::bulk_loader::link_records(std::vector<storage_entry*>& fresh) {
    // One growth of the index for the whole load; growing it step by step would
    // move every path already in it again and again.
    m_store.m_paths.reserve(m_store.m_paths.size() + m_pending.size());
    for (const storage_entry_ptr& record : m_pending) {
        if (storage_entry* stored = m_store.find_like(*record)) {
            stored->fields = std::move(record->fields);
            record->fields.clear();
            continue;
        }
        m_store.link_path(*record);
        fresh.push_back(record.get_ptr());
    }
    // A stable sort by hash, done on keys that hold the hash above the load order,
    // so that sorting reads no entry.
    std::vector<uint64_t> keys(fresh.size());
    for (size_t i = 0; i < fresh.size(); ++i)
        keys[i] = uint64_t(fresh[i]->hash) << 32 | i;
    std::sort(keys.begin(), keys.end());
    std::vector<storage_entry*> sorted(fresh.size());
    for (size_t i = 0; i < keys.size(); ++i)
        sorted[i] = fresh[size_t(keys[i] & 0xFFFFFFFFu)];
    fresh.swap(sorted);
    // Each goes behind the stored entries of its hash; into an empty table that is
    // always its end, found without a search.
    for (storage_entry* entry : fresh) {
        const auto [at, rank] = m_store.end_of_run(entry->hash);
        entry->m_rank = rank;
        try {
            m_store.m_table.insert(at, table_slot{entry->hash, rank, entry});
        } catch (...) {
            entry->m_rank = 0;
            throw;
        }
        entry->service_add_ref();
    }
}
