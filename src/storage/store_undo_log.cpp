#include "storage/store_undo_log.h"

#include <utility>

void store_undo_log::note(storage_entry& entry) {
    note_t& noted = m_notes.emplace_back();
    noted.entry = &entry;
    noted.place = tagshelf_store::place_of(entry);
    try {
        noted.fields.assign(entry.fields);
    } catch (...) {
        m_notes.pop_back();
        throw;
    }
}

void store_undo_log::remove_all() {
    m_notes.reserve(m_notes.size() + m_store.entry_count());
    for (storage_entry* entry : m_store.entries())
        m_notes.push_back({entry, tagshelf_store::place_of(*entry), std::move(entry->fields)});
    m_store.remove_all();
}

void store_undo_log::take_back() {
    while (!m_notes.empty()) {
        note_t& noted = m_notes.back();
        m_store.restore(*noted.entry, noted.place, std::move(noted.fields));
        m_notes.pop_back();
    }
}
