#include "storage/store.h"

#include <algorithm>
#include <cstring>

#include "frame/host_ops.h"
#include "sdk/utf8.h"

namespace {

// Makes room for one more item, growing by doubling as push_back would, so that a
// following insertion cannot fail.
template <class T>
void make_room_for_one(std::vector<T>& items) {
    if (items.size() == items.capacity())
        items.reserve(items.size() < 8 ? 8 : items.size() * 2);
}

}  // namespace

uint32_t location_hash(std::string_view path, uint32_t subsong) {
    // Every lookup hashes the sought path, title formatting included, so the
    // lower-cased bytes are summed as they are made instead of being collected in a
    // string. ASCII is lowered in place; each run of other bytes goes through the
    // Unicode mapping on its own, which gives the same bytes as lowering the whole
    // path, since no multi-byte character contains an ASCII byte.
    uint32_t sum = 0, word = 0;
    unsigned filled = 0;
    auto push = [&](unsigned char byte) {
        word |= uint32_t(byte) << (8 * filled);
        if (++filled == 4) {
            sum += word;
            word = 0;
            filled = 0;
        }
    };
    std::string run;
    for (size_t i = 0; i < path.size();) {
        auto c = static_cast<unsigned char>(path[i]);
        if (c < 0x80) {
            push(c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c);
            ++i;
            continue;
        }
        size_t end = i;
        while (end < path.size() && static_cast<unsigned char>(path[end]) >= 0x80)
            ++end;
        run.clear();
        utf8_append_lower(run, path.substr(i, end - i));
        for (char byte : run)
            push(static_cast<unsigned char>(byte));
        i = end;
    }
    return sum + subsong;
}

void storage_entry::get_metadb_handle(metadb_handle_ptr& out) {
    out = host_ops::track_for(location);
}

size_t tagshelf_store::lower_bound(uint32_t hash) const {
    size_t lo = 0, hi = m_hashes.size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (hash > m_hashes[mid]) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

bool tagshelf_store::find(const playable_location& location, uint32_t hash, size_t& stop) const {
    size_t i = lower_bound(hash);
    for (; i < m_table.size() && m_hashes[i] == hash; ++i) {
        if (m_table[i]->location.equals(location)) {
            stop = i;
            return true;
        }
    }
    stop = i;
    return false;
}

storage_entry_ptr tagshelf_store::get_handle(const playable_location& location) {
    uint32_t hash = location_hash(location.get_path(), location.get_subsong());
    size_t index;
    if (find(location, hash, index))
        return m_table[index];
    return make_service<storage_entry>(playable_location_impl(location), hash);
}

storage_entry* tagshelf_store::find(const playable_location& location) const {
    size_t index;
    if (!find(location, location_hash(location.get_path(), location.get_subsong()), index))
        return nullptr;
    return m_table[index].get_ptr();
}

void tagshelf_store::attach(storage_entry& entry) {
    if (entry.position >= 0)
        return;
    size_t index;
    find(entry.location, entry.hash, index);
    // Make room first: should it run out of memory, the entry stays detached and a
    // later write tries again. With room made, neither insertion can fail.
    make_room_for_one(m_table);
    make_room_for_one(m_hashes);
    m_table.insert(m_table.begin() + std::ptrdiff_t(index), storage_entry_ptr(&entry));
    m_hashes.insert(m_hashes.begin() + std::ptrdiff_t(index), entry.hash);
    entry.position = int32_t(index);
    entry.generation = ++m_generation;
}

void tagshelf_store::remove(storage_entry& entry) {
    if (entry.position < 0)
        return;
    size_t index = size_t(entry.position);
    if (entry.generation != m_generation || index >= m_table.size() ||
        m_table[index].get_ptr() != &entry) {
        // The recorded place is stale. Search by identity among the entries of
        // equal hash: another entry for the same location must never be touched.
        index = lower_bound(entry.hash);
        while (index < m_table.size() && m_table[index].get_ptr() != &entry) {
            if (m_hashes[index] != entry.hash) {
                index = m_table.size();
                break;
            }
            ++index;
        }
        if (index >= m_table.size()) {
            entry.position = -1;
            return;
        }
        entry.position = int32_t(index);
        entry.generation = m_generation;
    }
    entry.fields.clear();
    entry.position = -1;
    storage_entry_ptr keep_alive = std::move(m_table[index]);
    m_table.erase(m_table.begin() + std::ptrdiff_t(index));
    m_hashes.erase(m_hashes.begin() + std::ptrdiff_t(index));
    ++m_generation;
}

void tagshelf_store::remove_all() {
    for (auto& entry : m_table) {
        entry->fields.clear();
        entry->position = -1;
    }
    m_table.clear();
    m_hashes.clear();
    m_unsorted_from = no_unsorted;
}

size_t tagshelf_store::total_value_count() const {
    size_t total = 0;
    for (const auto& entry : m_table)
        total += entry->fields.get_total_value_count();
    return total;
}

storage_entry& tagshelf_store::append_unsorted(std::string path, uint32_t subsong) {
    uint32_t hash = location_hash(path, subsong);
    auto entry =
        make_service<storage_entry>(playable_location_impl(std::move(path), subsong), hash);
    make_room_for_one(m_table);
    make_room_for_one(m_hashes);
    m_unsorted_from = std::min(m_unsorted_from, m_table.size());
    entry->position = int32_t(m_table.size());
    entry->generation = m_generation;
    m_table.push_back(entry);
    m_hashes.push_back(hash);
    return *entry;
}

void tagshelf_store::bulk_loader::add(std::string path, uint32_t subsong, x_info_impl fields) {
    m_store.append_unsorted(std::move(path), subsong).fields = std::move(fields);
}

void tagshelf_store::normalize() {
    // Entries stored before the first unsorted append are in order already and
    // are never merged with each other: two entries of one location written
    // through two handles both stay, as they would when loading one at a time.
    size_t first_new = std::min(m_unsorted_from, m_table.size());
    m_unsorted_from = no_unsorted;
    std::vector<storage_entry_ptr> fresh(
        std::make_move_iterator(m_table.begin() + std::ptrdiff_t(first_new)),
        std::make_move_iterator(m_table.end()));
    m_table.resize(first_new);
    m_hashes.resize(first_new);
    std::stable_sort(
        fresh.begin(), fresh.end(),
        [](const storage_entry_ptr& a, const storage_entry_ptr& b) { return a->hash < b->hash; });

    // Merge the two ordered runs, earlier entries first within a hash. A new
    // entry for a location already present (earlier or new) hands its fields to
    // the first such entry and leaves the table.
    std::vector<storage_entry_ptr> merged;
    merged.reserve(m_table.size() + fresh.size());
    size_t run_start = 0;  // first entry in `merged` with the hash of its last one
    auto push = [&](storage_entry_ptr&& entry) {
        if (merged.empty() || merged.back()->hash != entry->hash)
            run_start = merged.size();
        merged.push_back(std::move(entry));
    };
    size_t old_index = 0;
    for (auto& entry : fresh) {
        while (old_index < first_new && m_table[old_index]->hash <= entry->hash)
            push(std::move(m_table[old_index++]));
        storage_entry* earlier = nullptr;
        if (!merged.empty() && merged.back()->hash == entry->hash) {
            for (size_t i = run_start; i < merged.size(); ++i) {
                if (merged[i]->location.equals(entry->location)) {
                    earlier = merged[i].get_ptr();
                    break;
                }
            }
        }
        if (earlier) {
            earlier->fields = std::move(entry->fields);
            entry->fields.clear();
            entry->position = -1;
        } else {
            push(std::move(entry));
        }
    }
    while (old_index < first_new)
        push(std::move(m_table[old_index++]));

    // Within the capacity every append reserved, so this cannot fail.
    m_hashes.clear();
    for (const auto& entry : merged)
        m_hashes.push_back(entry->hash);
    m_table = std::move(merged);
    ++m_generation;
    for (size_t i = 0; i < m_table.size(); ++i) {
        m_table[i]->position = int32_t(i);
        m_table[i]->generation = m_generation;
    }
}
