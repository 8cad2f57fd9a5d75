// The one registered `tagshelf` service. It owns the reference to the active
// storage method and hands out readers and writers of it, always wrapped: handles
// given out survive a switch of storage (the service re-binds them), and every
// writer ends with a refresh of the tracks it touched. It also opens, switches and
// closes the storage methods.
#pragma once

#include "sdk/file_operation_callback.h"

#include <atomic>
#include <cstdint>
#include <mutex>

#include "sdk/lists.h"
#include "sdk/metadb.h"
#include "service/handle_registry.h"
#include "service/tagshelf.h"
#include "storage/tagshelf_storage.h"

// What a refused switch reports: the calling thread holds a reader or writer.
extern const char* const held_accessor_message;

class tagshelf_store;

class tagshelf_impl : public tagshelf {
public:
    class tagshelf_handle_wrapper;
    class tagshelf_reader_wrapper;
    class tagshelf_reader_writer_wrapper;

    // The static instance the component registers.
    static tagshelf_impl& instance();

    // tagshelf. Each passes the barrier of the switch lock and loads the configured
    // storage lazily when none is active yet. A storage that hands out no accessor,
    // or raises, is reported to the user and answers false.
    bool get_writer(service_ptr_t<tagshelf_reader_writer>& out) override;
    bool get_reader(service_ptr_t<tagshelf_reader>& out) override;
    void lock() override;
    void unlock() override;
    // As get_reader, typed as the reader this service hands out, for the component's
    // own paths that use more than the public interface.
    bool get_reader_wrapper(service_ptr_t<tagshelf_reader_wrapper>& out);

    // Whether a storage is active (barrier; lazy load).
    bool storage_active();
    // The active storage, or none when switched off (barrier; lazy load).
    service_ptr_t<tagshelf_storage> active_storage();
    // The active storage's GUID, or the null GUID (barrier; lazy load).
    GUID current_storage_guid();
    // Asks the host to redraw every track that has an entry.
    void refresh_all_tracks();
    // Removes every entry whose file the host's file system says is gone.
    void remove_dead_entries();
    // Closes the storage at host shut-down without changing the configured method;
    // runs once, however often it is called.
    void shutdown();
    // Makes `target` the active storage method (the null GUID: none), optionally
    // copying the active storage's content into it, saving the choice in the
    // settings and redrawing the affected tracks. Failures are reported to the user;
    // nothing is raised. A thread that holds a reader or writer (of any storage)
    // cannot switch: the switch is refused with held_accessor_message before any
    // lock is taken, and nothing changes.
    void switch_storage(const GUID& target, bool copy, bool save, bool refresh);

    // Files the host moved: their entries are re-keyed to the targets, one writer for
    // the whole notification. Raises on storage failure; nothing without storage.
    void update_locations(const path_list& from, const path_list& to);
    // Files the host deleted: their entries are removed. Raises on storage failure.
    void remove_entries(const path_list& items);

    // The save hook given to the configuration-file method: the storage is closed
    // before the host writes its settings at shut-down.
    static void save_hook();

    // The live handle wrappers.
    handle_registry& handles() { return m_handles; }
    // Identifies the current binding of handles to a storage; changes with every
    // switch that changes the active storage. Readers and handles made under one
    // binding work together only.
    uint32_t binding() const { return m_active_binding.load(std::memory_order_acquire); }

protected:
    tagshelf_impl() = default;
    ~tagshelf_impl() = default;

private:
    struct active_state {
        service_ptr_t<tagshelf_storage> storage;
        uint32_t binding = 0;
        // The storage's store when the storage is one of this component's, else null.
        tagshelf_store* own_store = nullptr;
    };
    struct switch_outcome;

    void barrier();
    void lazy_load();
    active_state snapshot();
    void publish(const service_ptr_t<tagshelf_storage>& storage, uint32_t binding);
    template <class Wrapper, class Accessor>
    bool hand_out(service_ptr_t<Accessor>& out, const char* failure_message,
                  void (tagshelf_storage::*make)(service_ptr_t<Accessor>&));
    // The switch under the switch lock and the lock that serialises switches.
    void locked_switch(const GUID& target, bool copy, bool save, bool refresh,
                       switch_outcome& outcome);
    void run_switch(const GUID& target, bool copy, bool save, bool refresh,
                    switch_outcome& outcome);
    // Re-binding every live handle wrapper to a new storage, in two steps (see
    // tagshelf_handle_wrapper), or to none.
    void prepare_handles(tagshelf_reader_writer& writer, uint32_t binding);
    void commit_handles(uint32_t binding);
    void clear_handles(uint32_t binding);

    // Other threads wait here while one holds it through lock(); every operation
    // passes it as a barrier.
    std::recursive_mutex m_switch_lock;
    // Lets one switch run at a time (re-entrant: a report during a switch may start
    // another on the same thread).
    std::recursive_mutex m_switching;
    // Guards m_active_storage and m_active_own_store; never held while calling into a storage.
    std::mutex m_state_lock;
    service_ptr_t<tagshelf_storage> m_active_storage;
    tagshelf_store* m_active_own_store = nullptr;
    std::atomic<uint32_t> m_active_binding{0};
    // The last binding handed out by a switch (under m_switching).
    uint32_t m_last_binding = 0;
    // Switches started since the module was loaded; a lazy load happens only at 0.
    std::atomic<unsigned> m_load_attempts{0};
    // Set once shutdown() has run.
    std::atomic<bool> m_shutdown_done{false};
    handle_registry m_handles;
};
