#include "host/core/media_library.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>

#include "host/core/folded_hash.h"
#include "host/core/profile.h"
#include "host/core/tracks.h"
#include "sdk/prefetch.h"
#include "sdk/utf8.h"

media_library::media_library() : media_library(make_service<track_database>()) {}

media_library::media_library(service_ptr_t<track_database> tracks) : m_tracks(std::move(tracks)) {}

media_library::~media_library() {
    clear();
}

bool media_library::is_item_in_library(const metadb_handle_ptr& track) {
    if (!track.is_valid())
        return false;
    // The host's own tracks know whether the library lists their spelling, and
    // keep the hash of their path for another spelling, so asking about one folds
    // no path. They are told by their exact type, which the database makes every
    // one with: comparing it costs a fraction of a dynamic_cast.
    if (typeid(*track.get_ptr()) == typeid(service_impl_t<host_track>)) {
        const auto& known = static_cast<const host_track&>(*track.get_ptr());
        return known.listed_in_library() || contains(known.get_location(), known.folded_hash());
    }
    return contains(track->get_location());
}

void media_library::enum_tracks(library_track_callback& callback) {
    // A component reads each track's path: the tracks lie scattered in memory, so
    // they are loaded a few ahead of the one handed out, the object and the path
    // behind it, which for a path of ordinary length ends within the third cache line.
    constexpr size_t lookahead = 8;
    const size_t count = m_slots.size();
    for (size_t i = 0; i < count; ++i) {
        if (i + lookahead < count && !m_slots[i + lookahead].removed) {
            const char* block =
                reinterpret_cast<const char*>(m_slots[i + lookahead].track.get_ptr());
            prefetch_for_reading(block);
            prefetch_for_reading(block + 64);
            prefetch_for_reading(block + 128);
        }
        if (!m_slots[i].removed)
            callback.on_track(*m_slots[i].track);
    }
}

void media_library::clear() {
    for (slot& item : m_slots) {
        if (!item.removed)
            item.track->unlist_from_library();
    }
    m_slots.clear();
    m_chains.clear();
    m_removed = 0;
}

media_library::item_range media_library::items() const {
    return item_range(m_slots.data(), m_slots.data() + m_slots.size());
}

size_t media_library::path_hash(std::string_view path) {
    return folded_path_hash(path);
}

bool media_library::holds(size_t index, const char* path) const {
    return stricmp_utf8(m_slots[index].location().get_path(), path) == 0;
}

bool media_library::contains(const playable_location& location) const {
    return contains(location, path_hash(location.get_path()));
}

bool media_library::contains(const playable_location& location, size_t hash) const {
    auto found = m_chains.find(hash);
    if (found == m_chains.end())
        return false;
    for (size_t at = found->second.head; at != no_slot; at = m_slots[at].next) {
        if (m_slots[at].location().get_subsong() == location.get_subsong() &&
            holds(at, location.get_path()))
            return true;
    }
    return false;
}

void media_library::list_at(size_t index, std::string_view path, uint32_t subsong) {
    m_slots[index].track = m_tracks->host_track_for(path, subsong);
    m_slots[index].track->list_in_library();
}

void media_library::append(std::string_view path, uint32_t subsong) {
    size_t index = m_slots.size();
    size_t hash = path_hash(path);
    m_slots.emplace_back();
    list_at(index, path, subsong);
    merge(hash, chain{index, index});
}

bool media_library::add(const playable_location& location) {
    if (contains(location))
        return false;
    append(location.get_path(), location.get_subsong());
    m_changed = true;
    return true;
}

template <class Pick>
media_library::chain media_library::take(size_t hash, Pick wanted, size_t limit) {
    chain taken{no_slot, no_slot};
    auto found = m_chains.find(hash);
    if (found == m_chains.end())
        return taken;
    chain& rest = found->second;
    // Where the next slot that stays is linked: the head, then each kept slot's next.
    size_t* link = &rest.head;
    size_t kept_tail = no_slot;
    size_t at = rest.head;
    size_t count = 0;
    for (; at != no_slot && count < limit;) {
        size_t next = m_slots[at].next;
        if (wanted(at)) {
            ++count;
            if (taken.head == no_slot) {
                taken.head = at;
            } else {
                m_slots[taken.tail].next = at;
            }
            taken.tail = at;
            m_slots[at].next = no_slot;
        } else {
            *link = at;
            link = &m_slots[at].next;
            kept_tail = at;
        }
        at = next;
    }
    // Past the limit everything stays, up to the chain's own tail.
    *link = at;
    if (at != no_slot)
        kept_tail = rest.tail;
    if (kept_tail == no_slot) {
        m_chains.erase(found);
    } else {
        rest.tail = kept_tail;
    }
    return taken;
}

void media_library::merge(size_t hash, chain taken) {
    auto [target, fresh] = m_chains.try_emplace(hash, taken);
    if (fresh)
        return;
    chain& into = target->second;
    if (into.tail < taken.head) {
        // All added later, as every track newly added is.
        m_slots[into.tail].next = taken.head;
        into.tail = taken.tail;
        return;
    }
    size_t a = into.head, b = taken.head;
    size_t* link = &into.head;
    while (a != no_slot && b != no_slot) {
        size_t& first = a < b ? a : b;
        *link = first;
        link = &m_slots[first].next;
        first = m_slots[first].next;
    }
    *link = a != no_slot ? a : b;
    into.tail = std::max(into.tail, taken.tail);
}

void media_library::mark_removed(chain taken) {
    for (size_t at = taken.head; at != no_slot;) {
        size_t next = m_slots[at].next;
        m_slots[at].track->unlist_from_library();
        m_slots[at] = slot{nullptr, no_slot, true};
        ++m_removed;
        at = next;
    }
}

bool media_library::remove(const playable_location& location) {
    const char* path = location.get_path();
    uint32_t subsong = location.get_subsong();
    chain taken = take(
        path_hash(path),
        [&](size_t at) {
            return m_slots[at].location().get_subsong() == subsong && holds(at, path);
        },
        1);
    if (taken.head == no_slot)
        return false;
    mark_removed(taken);
    compact_if_sparse();
    m_changed = true;
    return true;
}

void media_library::move_path(const std::string& from, const std::string& to) {
    chain taken = take(
        path_hash(from), [&](size_t at) { return holds(at, from.c_str()); }, no_slot);
    if (taken.head == no_slot)
        return;
    for (size_t at = taken.head; at != no_slot; at = m_slots[at].next) {
        const uint32_t subsong = m_slots[at].location().get_subsong();
        m_slots[at].track->unlist_from_library();
        list_at(at, to, subsong);
    }
    // Tracks already at `to` stay; the moved ones join them in the order of adding.
    merge(path_hash(to), taken);
    m_changed = true;
}

void media_library::remove_path(const std::string& path) {
    chain taken = take(
        path_hash(path), [&](size_t at) { return holds(at, path.c_str()); }, no_slot);
    if (taken.head == no_slot)
        return;
    mark_removed(taken);
    compact_if_sparse();
    m_changed = true;
}

void media_library::compact_if_sparse() {
    if (m_removed * 2 <= m_slots.size())
        return;
    std::vector<size_t> renumbered(m_slots.size(), no_slot);
    size_t kept = 0;
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i].removed)
            renumbered[i] = kept++;
    }
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i].removed)
            continue;
        slot& moved = m_slots[renumbered[i]];
        if (renumbered[i] != i)
            moved = std::move(m_slots[i]);
        if (moved.next != no_slot)
            moved.next = renumbered[moved.next];
    }
    m_slots.resize(kept);
    for (auto& entry : m_chains) {
        entry.second.head = renumbered[entry.second.head];
        entry.second.tail = renumbered[entry.second.tail];
    }
    m_removed = 0;
}

void media_library::load(const std::string& file) {
    clear();
    m_changed = false;
    auto data = read_whole_file(file);
    if (!data)
        return;
    std::string_view text(reinterpret_cast<const char*>(data->data()), data->size());
    size_t lines = size_t(std::count(text.begin(), text.end(), '\n')) + 1;
    m_slots.reserve(lines);
    m_chains.reserve(lines);
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            continue;
        try {
            unsigned long long subsong = std::stoull(std::string(line.substr(0, tab)));
            append(line.substr(tab + 1), uint32_t(subsong));
        } catch (const std::exception&) {
            // A damaged line is skipped; the rest of the library still loads.
        }
    }
}

void media_library::save(const std::string& file) const {
    std::string text;
    for (const auto& item : items()) {
        text += std::to_string(item.get_subsong());
        text += '\t';
        text += item.path();
        text += '\n';
    }
    write_file_atomically(file, text);
}
