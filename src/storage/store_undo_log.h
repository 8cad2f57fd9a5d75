// What a writer changed in a store, so that a write its medium refused can be
// taken back: the writer notes each entry before it changes it, and when the
// medium fails, the store is put back as it was when the writer began, so that
// nothing is shown that the medium does not hold.
#pragma once

#include <cstdint>
#include <vector>

#include "storage/store.h"

class store_undo_log {
public:
    explicit store_undo_log(tagshelf_store& store) : m_store(store) {}
    store_undo_log(const store_undo_log&) = delete;
    store_undo_log& operator=(const store_undo_log&) = delete;

    // Before `entry` changes: its place and a copy of its fields. An entry may be
    // noted again before each change; taking back goes through the notes from the
    // last to the first.
    void note(storage_entry& entry);
    // Empties the store as tagshelf_store::remove_all does, keeping every entry's
    // place and fields (the fields move into the log instead of being dropped).
    void remove_all();
    // Puts every noted entry back, the latest change first, and empties the log.
    // On failure (out of memory) the store keeps what was put back so far.
    void take_back();

private:
    struct note_t {
        storage_entry_ptr entry;
        uint32_t place;
        packed_fields fields;
    };

    tagshelf_store& m_store;
    std::vector<note_t> m_notes;
};
