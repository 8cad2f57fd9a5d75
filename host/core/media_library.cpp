#include "host/core/media_library.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <utility>

#include "host/core/profile.h"
#include "sdk/utf8.h"

bool media_library::is_item_in_library(const metadb_handle_ptr& track) {
    return track.is_valid() && contains(track->get_location());
}

media_library::item_range media_library::items() const {
    return item_range(m_slots.data(), m_slots.data() + m_slots.size());
}

std::string media_library::index_key(std::string_view path) {
    std::string key;
    key.reserve(path.size());
    utf8_append_lower(key, path);
    return key;
}

size_t media_library::find_in_chain(size_t head, uint32_t subsong) const {
    size_t at = head;
    while (at != no_slot && m_slots[at].location.get_subsong() != subsong)
        at = m_slots[at].next;
    return at;
}

bool media_library::contains(const playable_location& location) const {
    auto found = m_chains.find(index_key(location.get_path()));
    return found != m_chains.end() &&
           find_in_chain(found->second.head, location.get_subsong()) != no_slot;
}

void media_library::append(playable_location_impl location) {
    size_t index = m_slots.size();
    auto [tracks, fresh] =
        m_chains.try_emplace(index_key(location.get_path()), chain{index, index});
    m_slots.push_back(slot{std::move(location)});
    if (!fresh) {
        m_slots[tracks->second.tail].next = index;
        tracks->second.tail = index;
    }
}

bool media_library::add(const playable_location& location) {
    if (contains(location))
        return false;
    append(playable_location_impl(location));
    m_changed = true;
    return true;
}

void media_library::mark_removed(size_t index) {
    m_slots[index] = slot{playable_location_impl(), no_slot, true};
    ++m_removed;
}

void media_library::unlink(const std::string& key, chain& tracks, size_t index) {
    if (tracks.head == index && tracks.tail == index) {
        m_chains.erase(key);
    } else if (tracks.head == index) {
        tracks.head = m_slots[index].next;
    } else {
        size_t before = tracks.head;
        while (m_slots[before].next != index)
            before = m_slots[before].next;
        m_slots[before].next = m_slots[index].next;
        if (tracks.tail == index)
            tracks.tail = before;
    }
    mark_removed(index);
}

bool media_library::remove(const playable_location& location) {
    std::string key = index_key(location.get_path());
    auto found = m_chains.find(key);
    if (found == m_chains.end())
        return false;
    size_t index = find_in_chain(found->second.head, location.get_subsong());
    if (index == no_slot)
        return false;
    unlink(key, found->second, index);
    compact_if_sparse();
    m_changed = true;
    return true;
}

void media_library::move_path(const std::string& from, const std::string& to) {
    std::string from_key = index_key(from);
    auto found = m_chains.find(from_key);
    if (found == m_chains.end())
        return;
    m_changed = true;
    chain moving = found->second;
    for (size_t at = moving.head; at != no_slot; at = m_slots[at].next)
        m_slots[at].location.set_path(to.c_str());
    std::string to_key = index_key(to);
    if (to_key == from_key)
        return;
    m_chains.erase(found);
    auto [target, fresh] = m_chains.try_emplace(std::move(to_key), moving);
    if (fresh)
        return;
    // Tracks already at `to` stay; the two chains merge in the order of adding.
    chain& merged = target->second;
    size_t a = merged.head, b = moving.head;
    size_t* link = &merged.head;
    while (a != no_slot && b != no_slot) {
        size_t& first = a < b ? a : b;
        *link = first;
        link = &m_slots[first].next;
        first = m_slots[first].next;
    }
    *link = a != no_slot ? a : b;
    merged.tail = std::max(merged.tail, moving.tail);
}

void media_library::remove_path(const std::string& path) {
    auto gone = m_chains.find(index_key(path));
    if (gone == m_chains.end())
        return;
    for (size_t at = gone->second.head; at != no_slot;) {
        size_t next = m_slots[at].next;
        mark_removed(at);
        at = next;
    }
    m_chains.erase(gone);
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
    m_slots.clear();
    m_chains.clear();
    m_removed = 0;
    auto data = read_whole_file(file);
    if (!data)
        return;
    std::istringstream lines(std::string(data->begin(), data->end()));
    std::string line;
    while (std::getline(lines, line)) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        try {
            unsigned long long subsong = std::stoull(line.substr(0, tab));
            append(playable_location_impl(line.substr(tab + 1), uint32_t(subsong)));
        } catch (const std::exception&) {
            // A damaged line is skipped; the rest of the library still loads.
        }
    }
    m_changed = false;
}

void media_library::save(const std::string& file) const {
    std::string text;
    for (const auto& item : items()) {
        text += std::to_string(item.get_subsong()) + "\t" + item.path() + "\n";
    }
    write_file_atomically(file, text);
}
