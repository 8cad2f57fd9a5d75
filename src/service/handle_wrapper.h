// The handle the tagshelf service gives out: the caller's track and the active
// storage's own handle for it. A switch of storage re-binds it, so callers may keep
// it across switches.
#pragma once

#include <mutex>

#include "service/handle_registry.h"
#include "service/tagshelf_impl.h"

class tagshelf_impl::tagshelf_handle_wrapper : public tagshelf_handle,
                                               public handle_registry::node {
public:
    // Links itself into the service's registry of live handles.
    tagshelf_handle_wrapper(metadb_handle_ptr track, tagshelf_handle_ptr storage_handle,
                            uint32_t binding);
    ~tagshelf_handle_wrapper();
    tagshelf_handle_wrapper(const tagshelf_handle_wrapper&) = delete;
    tagshelf_handle_wrapper& operator=(const tagshelf_handle_wrapper&) = delete;

    const playable_location& get_location() override { return m_track->get_location(); }
    void get_metadb_handle(metadb_handle_ptr& out) override { out = m_track; }

    const metadb_handle_ptr& track() const { return m_track; }
    // The storage handle for a reader or writer made under `binding`, whose
    // accessor is `accessor`. A handle made while a switch was under way, and so not
    // re-bound by it, is re-bound through `accessor` here. Raises when the handle
    // belongs to a later binding (the reader or writer is stale), or to none.
    tagshelf_handle_ptr storage_handle(uint32_t binding, tagshelf_reader& accessor);
    // A switch first prepares the new storage's handle, then commits it once no
    // reader of the old storage is left. Commit does nothing when nothing was
    // prepared under `binding`.
    void prepare(tagshelf_handle_ptr storage_handle, uint32_t binding);
    void commit(uint32_t binding);
    // Binds to no storage under `binding`, dropping what was prepared.
    void clear(uint32_t binding);

private:
    const metadb_handle_ptr m_track;
    std::mutex m_binding_lock;
    tagshelf_handle_ptr m_storage_handle;
    uint32_t m_binding;
    tagshelf_handle_ptr m_prepared_handle;
    uint32_t m_prepared_binding = 0;
};

// The text of the error raised when a reader or writer is used after the storage
// it reads was switched.
extern const char* const stale_accessor_message;
