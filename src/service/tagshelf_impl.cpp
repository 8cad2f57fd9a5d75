#include "service/tagshelf_impl.h"

#include <stdexcept>
#include <utility>

#include "frame/config_vars.h"
#include "frame/host_ops.h"
#include "sdk/abort.h"
#include "service/reader_wrappers.h"
#include "service/report_error.h"
#include "service/storage_contents.h"
#include "storage/accessors.h"
#include "storage/storage_impl.h"

tagshelf_impl& tagshelf_impl::instance() {
    static service_impl_single_t<tagshelf_impl> instance;
    return instance;
}

void tagshelf_impl::barrier() {
    // A thread that holds a store lock (through a reader or writer, say a quick-tag
    // writer whose title formatting reads fields again) never waits here: the
    // holder of lock() may be waiting for that very store. Nothing can switch
    // the storage away from it meanwhile, since a switch waits for the old
    // storage's lock before it completes.
    if (store_lock_hold::held_by_this_thread())
        return;
    std::lock_guard<std::recursive_mutex> wait_for_holder(m_switch_lock);
}

void tagshelf_impl::lock() {
    m_switch_lock.lock();
}

void tagshelf_impl::unlock() {
    m_switch_lock.unlock();
}

tagshelf_impl::active_state tagshelf_impl::snapshot() {
    std::lock_guard<std::mutex> guard(m_state_lock);
    return {m_active_storage, m_active_binding.load(std::memory_order_relaxed), m_active_own_store};
}

void tagshelf_impl::publish(const service_ptr_t<tagshelf_storage>& storage, uint32_t binding) {
    // Asked once per switch rather than of every accessor handed out: a dynamic_cast
    // compares class names along the hierarchy, a third of the cost of handing out
    // a writer for one file.
    auto* own = dynamic_cast<tagshelf_own_storage*>(storage.get_ptr());
    service_ptr_t<tagshelf_storage> previous;
    std::lock_guard<std::mutex> guard(m_state_lock);
    previous = std::exchange(m_active_storage, storage);
    m_active_own_store = own ? &own->own_store() : nullptr;
    m_active_binding.store(binding, std::memory_order_release);
}

void tagshelf_impl::lazy_load() {
    // Once per module life at most: every switch counts as an attempt, so a failed
    // first load is not retried behind the user's back, and nothing reopens after
    // shutdown.
    if (m_load_attempts.load() != 0)
        return;
    const GUID configured = cfg_storage_method.get();
    if (configured == guid_null || !host_ops::is_load_context())
        return;
    switch_storage(configured, false, false, false);
}

template <class Wrapper, class Accessor>
bool tagshelf_impl::hand_out(service_ptr_t<Accessor>& out, const char* failure_message,
                             void (tagshelf_storage::*make)(service_ptr_t<Accessor>&)) {
    barrier();
    if (!snapshot().storage)
        lazy_load();
    for (;;) {
        const active_state state = snapshot();
        if (!state.storage)
            return false;
        try {
            service_ptr_t<Accessor> accessor;
            ((*state.storage).*make)(accessor);
            if (!accessor)
                throw std::runtime_error("Null interface was returned.");
            // Making the accessor may have waited for the store while another thread
            // switched the storage; such an accessor reads a storage that is no longer
            // active, so take one of the new storage instead.
            if (binding() != state.binding)
                continue;
            out = make_service<Wrapper>(std::move(accessor), state.binding, state.own_store);
            return true;
        } catch (...) {
            report_current_error(failure_message, true);
            return false;
        }
    }
}

bool tagshelf_impl::get_writer(service_ptr_t<tagshelf_reader_writer>& out) {
    return hand_out<tagshelf_reader_writer_wrapper>(
        out, "Couldn't open tagshelf storage for writing.", &tagshelf_storage::get_writer);
}

bool tagshelf_impl::get_reader(service_ptr_t<tagshelf_reader>& out) {
    return hand_out<tagshelf_reader_wrapper>(out, "Couldn't open tagshelf storage for reading.",
                                             &tagshelf_storage::get_reader);
}

bool tagshelf_impl::get_reader_wrapper(service_ptr_t<tagshelf_reader_wrapper>& out) {
    service_ptr_t<tagshelf_reader> reader;
    if (!get_reader(reader))
        return false;
    // get_reader hands out no other kind of reader.
    out = static_cast<tagshelf_reader_wrapper*>(reader.get_ptr());
    return true;
}

service_ptr_t<tagshelf_storage> tagshelf_impl::active_storage() {
    barrier();
    if (!snapshot().storage)
        lazy_load();
    return snapshot().storage;
}

bool tagshelf_impl::storage_active() {
    return active_storage().is_valid();
}

GUID tagshelf_impl::current_storage_guid() {
    service_ptr_t<tagshelf_storage> storage = active_storage();
    return storage ? storage->get_guid() : guid_null;
}

void tagshelf_impl::refresh_all_tracks() {
    service_ptr_t<tagshelf_storage> storage = active_storage();
    if (!storage)
        return;
    metadb_handle_list tracks;
    try {
        service_ptr_t<tagshelf_reader> reader;
        storage->get_reader(reader);
        if (!reader)
            throw std::runtime_error("Null interface was returned.");
        collect_tracks(*reader, tracks);
    } catch (...) {
        // The reader is released by now, so Cancel in the report may switch storage.
        report_current_error("Failed to read storage contents", true);
    }
    host_ops::refresh_tracks(tracks);
}

void tagshelf_impl::remove_dead_entries() {
    try {
        service_ptr_t<tagshelf_reader_writer> writer;
        if (!get_writer(writer))
            return;
        // get_writer hands out no other kind of writer.
        auto& wrapper = static_cast<tagshelf_reader_writer_wrapper&>(*writer);
        const missing_file_test is_missing;
        abort_callback_dummy abort;
        moved_file_rules moved;
        moved.gone = [&](const char* path) { return is_missing(path, abort); };
        moved.entries_known_gone = true;
        moved.new_place_must_exist = true;
        wrapper.remove_where(
            "Removing dead entries",
            [&](const playable_location& location) {
                return is_missing(location.get_path(), abort);
            },
            &moved);
    } catch (...) {
        report_current_error("Removing dead entries failed.", true);
    }
}

void tagshelf_impl::shutdown() {
    barrier();
    // Marked before closing, so that the save hook, called again while the host
    // saves its settings, finds the work done or under way and returns.
    if (m_shutdown_done.exchange(true))
        return;
    switch_storage(guid_null, false, false, false);
}

void tagshelf_impl::save_hook() {
    instance().shutdown();
}
